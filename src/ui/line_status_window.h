// SPDX-License-Identifier: GPL-3.0-or-later
// "Line status": each line's state, SIM, signal, operator and USSD as the adapter reports them, and
// the signal of both lines over the last minutes. Only reads; nothing here writes to the adapter.
#pragma once

#include "model/signal_history.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace vestra7 {

class AdapterPort;
class SignalPlot;

namespace Ui {
class LineStatusWindow;
}

class LineStatusWindow final : public QDialog
{
    Q_OBJECT

public:
    // Milliseconds since the epoch; tests give a clock of their own.
    using Clock = std::function<qint64()>;

    LineStatusWindow(AdapterPort &adapter, QWidget *parent = nullptr, Clock clock = {});
    ~LineStatusWindow() override;

    const SignalHistory &history() const { return m_history; }
    const SignalPlot &plot() const;

    // Write the history as CSV, the plot as PNG; false with a box when the file could not be written.
    bool saveData(const QString &fileName);
    bool savePicture(const QString &fileName);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void onRecordChanged();
    void onConnectionChanged(bool connected);
    void showLines();
    void redrawPlot();
    void onSaveData();
    void onSavePicture();
    bool save(const QString &fileName, const QByteArray &content);

    std::unique_ptr<Ui::LineStatusWindow> m_ui;
    AdapterPort &m_adapter;
    Clock m_clock;
    SignalHistory m_history;
    bool m_connected = false;
    // Redraws the plot at most once a second, and only while it shows and has news.
    QTimer m_plotTimer;
    bool m_plotStale = false;
};

} // namespace vestra7
