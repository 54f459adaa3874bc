// SPDX-License-Identifier: GPL-3.0-or-later
// "Line status": each line's state, SIM, signal, operator and USSD as the adapter reports them, and
// the signal of both lines over the last minutes, each adapter's apart. Only reads; nothing here
// writes to the adapter.
#pragma once

#include "model/signal_histories.h"
#include "ui/file_dialog.h"

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

    // The adapter shown: the one in use, or the last one that was; empty before any.
    const QString &shownAdapter() const { return m_shownAdapter; }
    // The shown adapter's history, and every adapter's.
    const SignalHistory &history() const { return m_histories.of(m_shownAdapter); }
    const SignalHistories &histories() const { return m_histories; }
    const SignalPlot &plot() const;

    // Write the shown adapter's history as CSV, the plot under a line naming the adapter, the date and
    // the time zone as PNG; false with a box when the file could not be written.
    bool saveData(const QString &fileName);
    bool savePicture(const QString &fileName);
    // The line over the picture.
    QString pictureTitle() const;

    FileDialog &saveDataDialog() { return m_dataDialog; }
    FileDialog &savePictureDialog() { return m_pictureDialog; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void onRecordChanged();
    void onConnectionChanged(bool connected);
    void showAdapter();
    void showLines();
    void redrawPlot();
    void onSaveData();
    void onSavePicture();
    bool save(const QString &fileName, const QByteArray &content);

    std::unique_ptr<Ui::LineStatusWindow> m_ui;
    AdapterPort &m_adapter;
    Clock m_clock;
    SignalHistories m_histories;
    QString m_shownAdapter;
    bool m_connected = false;
    // Redraws the plot once a step of the plot, and only while it shows and has news: a redraw is
    // the window's dearest work.
    QTimer m_plotTimer;
    bool m_plotStale = false;
    FileDialog m_dataDialog;
    FileDialog m_pictureDialog;
};

} // namespace vestra7
