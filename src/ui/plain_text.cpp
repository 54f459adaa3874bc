// SPDX-License-Identifier: GPL-3.0-or-later
// Outside texts shown as they are in labels, tool tips and titles.
#include "ui/plain_text.h"

#include <QLabel>
#include <QTextDocument>

namespace vestra7 {

void showPlainText(QLabel *label)
{
    label->setTextFormat(Qt::PlainText);
}

QString plainMarkup(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

QString plainWindowTitle(const QString &text)
{
    QString title = text;
    // "[*][*]" shows as "[*]".
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace vestra7
