// SPDX-License-Identifier: GPL-3.0-or-later
// The message-box answerer.
#include "support/box_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace vestra7 {

int BoxAnswerer::s_alive = 0;

BoxAnswerer::BoxAnswerer(QString answer)
    : m_answer(std::move(answer))
{
    ++s_alive;
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_poll.stop();
        ShownBox shown{
            box->windowTitle(), box->text(), box->icon(), {}, {}, box->parentWidget(), box->frameGeometry().center(),
            box->textFormat()};
        QAbstractButton *choice = nullptr;
        for (QAbstractButton *button : box->buttons()) {
            shown.buttons << button->text().remove(QLatin1Char('&'));
            if (shown.buttons.back() == m_answer)
                choice = button;
        }
        if (box->defaultButton())
            shown.defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
        seen = shown;
        if (choice)
            choice->click();
        else
            box->reject();
    });
    m_poll.start(10);
}

BoxAnswerer::~BoxAnswerer()
{
    --s_alive;
}

bool BoxAnswerer::anyAlive()
{
    return s_alive > 0;
}

} // namespace vestra7
