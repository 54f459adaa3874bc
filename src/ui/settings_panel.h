// SPDX-License-Identifier: GPL-3.0-or-later
// The settings panel: the two gains and the two auto-answer delays of the adapter's record.
#pragma once

#include <QFrame>
#include <QSignalBlocker>

#include <array>
#include <memory>

namespace vestra7 {

class AdapterPort;
struct DeviceRecord;
class SpinSelector;

namespace Ui {
class SettingsPanel;
}

class SettingsPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit SettingsPanel(QWidget *parent = nullptr);
    ~SettingsPanel() override;

    // The adapter each step of a selector goes to, as that one setting alone.
    void setAdapter(AdapterPort &adapter);

    // Shows the record's four settings with the selectors' signals blocked, so that showing never asks
    // for a change. A value outside a list shows its nearer end; the adapter keeps the value until the
    // user steps that selector.
    void showSettings(const DeviceRecord &record);

protected:
    void changeEvent(QEvent *event) override;
    // The panel takes the focus as it opens, on its first setting.
    void showEvent(QShowEvent *event) override;

private:
    std::array<SpinSelector *, 4> selectors() const;
    // Silences the selectors while the blockers live, so that what the panel shows asks nothing of
    // the adapter.
    std::array<QSignalBlocker, 4> blockChangeSignals() const;
    // The selectors' items in the current language.
    void showItems();
    void fitLabels();

    std::unique_ptr<Ui::SettingsPanel> m_ui;
};

} // namespace vestra7
