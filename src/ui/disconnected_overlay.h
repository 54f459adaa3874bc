// SPDX-License-Identifier: GPL-3.0-or-later
// The overlay that covers the main window while no adapter is connected: a white area saying
// "Connect to USB", or who holds the adapter while another program uses it.
#pragma once

#include <QFrame>

#include <memory>

namespace vestra7 {

namespace Ui {
class DisconnectedOverlay;
}

class DisconnectedOverlay final : public QFrame
{
    Q_OBJECT

public:
    explicit DisconnectedOverlay(QWidget *parent = nullptr);
    ~DisconnectedOverlay() override;

    // Who holds the adapter, in place of "Connect to USB"; empty for that again.
    void setInUse(const QString &holder);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showMessage();

    std::unique_ptr<Ui::DisconnectedOverlay> m_ui;
    QString m_inUse;
};

} // namespace vestra7
