// SPDX-License-Identifier: GPL-3.0-or-later
// The disconnected overlay.
#include "ui/disconnected_overlay.h"

#include "ui/panel_text.h"
#include "ui/window_fonts.h"

#include "ui_disconnected_overlay.h"

#include <QEvent>

DisconnectedOverlay::DisconnectedOverlay(QWidget *parent)
    : QFrame(parent)
    , m_ui(std::make_unique<Ui::DisconnectedOverlay>())
{
    m_ui->setupUi(this);
    m_ui->messageLabel->setFont(segoeUiBold(19));
    setDarkPanelText(m_ui->messageLabel);
    // The overlay is disabled along with the window's panels, yet its message must stay as readable.
    QPalette palette = m_ui->messageLabel->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, palette.color(QPalette::Active, QPalette::WindowText));
    m_ui->messageLabel->setPalette(palette);
}

DisconnectedOverlay::~DisconnectedOverlay() = default;

void DisconnectedOverlay::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
}
