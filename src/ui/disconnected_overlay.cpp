// The connection overlay.
#include "ui/disconnected_overlay.h"

#include "ui/window_fonts.h"

#include "ui_disconnected_overlay.h"

DisconnectedOverlay::DisconnectedOverlay(QWidget *parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui_DisconnectedOverlay>())
{
    ui->setupUi(this);
    ui->Label1->setFont(segoeUiBold(19));
    // The overlay is disabled along with the window's panels, yet its message must stay as readable.
    QPalette palette = ui->Label1->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, palette.color(QPalette::Active, QPalette::WindowText));
    ui->Label1->setPalette(palette);
}

DisconnectedOverlay::~DisconnectedOverlay() = default;
