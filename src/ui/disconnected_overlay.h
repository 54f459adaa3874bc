// SPDX-License-Identifier: GPL-3.0-or-later
// The overlay that covers the main window while no adapter is connected: a white area saying
// "Connect to USB".
#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class DisconnectedOverlay;
}

class DisconnectedOverlay final : public QFrame
{
    Q_OBJECT

public:
    explicit DisconnectedOverlay(QWidget *parent = nullptr);
    ~DisconnectedOverlay() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::DisconnectedOverlay> m_ui;
};
