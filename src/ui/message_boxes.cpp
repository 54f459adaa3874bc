// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes owned by, and centred on, their parent window.
#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vestra7 {

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
             Qt::TextFormat format = Qt::PlainText)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(format);
    box.exec();
}

bool askBox(QWidget *parent, const QString &question, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Confirm"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    // A question may name a file, a party or a backup: all shown as they are.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return box.exec() == QMessageBox::Ok;
}

} // namespace

bool confirmBox(QWidget *parent, const QString &question)
{
    return askBox(parent, question, QMessageBox::Ok);
}

bool cautiousConfirmBox(QWidget *parent, const QString &question)
{
    return askBox(parent, question, QMessageBox::Cancel);
}

bool confirmThrough(const Confirmer &answerer, QWidget *parent, const QString &question, bool cancelFirst)
{
    if (answerer)
        return answerer(parent, question);
    return cancelFirst ? cautiousConfirmBox(parent, question) : confirmBox(parent, question);
}

void errorBox(QWidget *parent, const QString &title, const QString &text)
{
    showBox(parent, QMessageBox::Critical, title, text);
}

void warningBox(QWidget *parent, const QString &title, const QString &text)
{
    showBox(parent, QMessageBox::Warning, title, text);
}

void informationBox(QWidget *parent, const QString &title, const QString &text, Qt::TextFormat format)
{
    showBox(parent, QMessageBox::Information, title, text, format);
}

} // namespace vestra7
