// SPDX-License-Identifier: GPL-3.0-or-later
// The disconnected overlay.
#include "ui/disconnected_overlay.h"

#include "ui/panel_text.h"
#include "ui/plain_text.h"
#include "ui/window_fonts.h"

#include "ui_disconnected_overlay.h"

#include <QEvent>

namespace vestra7 {

DisconnectedOverlay::DisconnectedOverlay(QWidget *parent)
    : QFrame(parent)
    , m_ui(std::make_unique<Ui::DisconnectedOverlay>())
{
    m_ui->setupUi(this);
    // It may name the program that holds the adapter, as that program's lock says.
    showPlainText(m_ui->messageLabel);
    m_ui->messageLabel->setFont(segoeUiBold(19));
    setDarkPanelText(m_ui->messageLabel);
    // The overlay is disabled along with the window's panels, yet its message must stay as readable.
    QPalette palette = m_ui->messageLabel->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, palette.color(QPalette::Active, QPalette::WindowText));
    m_ui->messageLabel->setPalette(palette);
}

DisconnectedOverlay::~DisconnectedOverlay() = default;

void DisconnectedOverlay::setInUse(const QString &holder)
{
    m_inUse = holder;
    showMessage();
}

void DisconnectedOverlay::showMessage()
{
    // The holder's words come from the adapter's lock, translated where they were made.
    if (m_inUse.isEmpty())
        m_ui->retranslateUi(this);
    else
        m_ui->messageLabel->setText(m_inUse.left(1).toUpper() + m_inUse.mid(1));
    m_ui->messageLabel->setWordWrap(!m_inUse.isEmpty());
}

void DisconnectedOverlay::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        showMessage();
}

} // namespace vestra7
