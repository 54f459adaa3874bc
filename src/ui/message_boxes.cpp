// Modal message boxes owned by, and centred on, their parent window.
#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

bool confirmBox(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("MessageBoxes", "Confirm"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void errorBox(QWidget *parent, const QString &title, const QString &text)
{
    showBox(parent, QMessageBox::Critical, title, text);
}

void informationBox(QWidget *parent, const QString &title, const QString &text)
{
    showBox(parent, QMessageBox::Information, title, text);
}
