// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes owned by, and centred on, their parent window.
#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vestra7 {

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool askBox(QWidget *parent, const QString &question, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Confirm"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
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

void informationBox(QWidget *parent, const QString &title, const QString &text)
{
    showBox(parent, QMessageBox::Information, title, text);
}

} // namespace vestra7
