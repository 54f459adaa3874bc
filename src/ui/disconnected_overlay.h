// The connection overlay: a white area saying "Connect to USB" that covers the main window while no
// adapter is connected.
#pragma once

#include <QFrame>

#include <memory>

class Ui_DisconnectedOverlay;

class DisconnectedOverlay final : public QFrame
{
    Q_OBJECT

public:
    explicit DisconnectedOverlay(QWidget *parent = nullptr);
    ~DisconnectedOverlay() override;

private:
    std::unique_ptr<Ui_DisconnectedOverlay> ui;
};
