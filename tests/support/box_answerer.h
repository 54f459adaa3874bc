// SPDX-License-Identifier: GPL-3.0-or-later
// Answers the modal message boxes a test makes the program show, recording what they showed.
#pragma once

#include <QMessageBox>
#include <QTimer>

#include <optional>

namespace vestra7 {

// What a modal message box showed.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    QWidget *owner = nullptr;
    QPoint centre;
    Qt::TextFormat format = Qt::AutoText; // how the text is read: as it is, as markup, or as it looks
};

// Answers the next modal message box with the button of the given text, recording what it showed.
class BoxAnswerer
{
public:
    explicit BoxAnswerer(QString answer = QStringLiteral("OK"));
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer &) = delete;
    BoxAnswerer &operator=(const BoxAnswerer &) = delete;

    // Whether a test is answering boxes itself, so a guard against unexpected ones stands aside.
    static bool anyAlive();

    std::optional<ShownBox> seen;

private:
    QString m_answer;
    QTimer m_poll;
    static int s_alive;
};

} // namespace vestra7
