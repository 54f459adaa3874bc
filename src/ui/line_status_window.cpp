// SPDX-License-Identifier: GPL-3.0-or-later
// The line status window follows every record: the history takes each sample, whether the window
// shows or not; the labels follow each record while it shows, the plot once a second.
#include "ui/line_status_window.h"
#include "ui_line_status_window.h"

#include "link/adapter_port.h"
#include "model/ansi_codec.h"
#include "model/checked_files.h"
#include "model/line_health.h"
#include "model/line_state.h"
#include "ui/file_dialog.h"
#include "ui/message_boxes.h"
#include "ui/plain_text.h"
#include "ui/signal_plot.h"

#include <QBuffer>
#include <QDateTime>
#include <QEvent>
#include <QPixmap>

#include <array>

namespace vestra7 {

namespace {

// Raw values are shown as numbers; the state says what it allows, then its number.
QString stateText(std::uint8_t state)
{
    return QCoreApplication::translate("LineStatusWindow", "%1 (%2)").arg(lineStateText(state)).arg(state);
}

} // namespace

LineStatusWindow::LineStatusWindow(AdapterPort &adapter, QWidget *parent, Clock clock)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LineStatusWindow>())
    , m_adapter(adapter)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentMSecsSinceEpoch(); }))
{
    m_ui->setupUi(this);
    // The adapter's own words, shown as they are.
    for (QLabel *label : {m_ui->operatorA, m_ui->operatorB, m_ui->ussdNumberA, m_ui->ussdNumberB, m_ui->ussdText})
        showPlainText(label);
    setModal(false);
    connect(m_ui->saveDataButton, &QPushButton::clicked, this, &LineStatusWindow::onSaveData);
    connect(m_ui->savePictureButton, &QPushButton::clicked, this, &LineStatusWindow::onSavePicture);
    connect(&m_adapter, &AdapterPort::recordChanged, this, &LineStatusWindow::onRecordChanged);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &LineStatusWindow::onConnectionChanged);
    m_plotTimer.setInterval(std::chrono::seconds(1));
    connect(&m_plotTimer, &QTimer::timeout, this, &LineStatusWindow::redrawPlot);
    showLines();
}

LineStatusWindow::~LineStatusWindow() = default;

const SignalPlot &LineStatusWindow::plot() const
{
    return *m_ui->plot;
}

void LineStatusWindow::onConnectionChanged(bool connected)
{
    m_connected = connected;
    showLines();
}

void LineStatusWindow::onRecordChanged()
{
    // Records of the adapter being found again belong to no line yet.
    if (!m_connected)
        return;
    const DeviceRecord &record = m_adapter.record();
    SignalHistory::Sample sample{m_clock(), {}};
    std::copy(std::begin(record.rssi), std::end(record.rssi), sample.level.begin());
    m_history.append(sample);
    m_plotStale = true;
    if (isVisible())
        showLines();
}

void LineStatusWindow::showLines()
{
    const std::array<std::array<QLabel *, 5>, kLineCount> labels{{
        {m_ui->stateA, m_ui->simA, m_ui->signalA, m_ui->operatorA, m_ui->ussdNumberA},
        {m_ui->stateB, m_ui->simB, m_ui->signalB, m_ui->operatorB, m_ui->ussdNumberB},
    }};
    AnsiCodec &codec = AnsiCodec::system();
    for (std::size_t line = 0; line < labels.size(); ++line) {
        if (!m_connected) {
            for (QLabel *label : labels[line])
                label->setText(tr("–"));
            continue;
        }
        const LineHealth health = lineHealth(m_adapter.record(), static_cast<int>(line), codec);
        const std::array<QString, 5> texts{stateText(health.state), QString::number(health.simPresence),
                                           QString::number(health.signalLevel), health.operatorName, health.ussdNumber};
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (labels[line][i]->text() != texts[i])
                labels[line][i]->setText(texts[i]);
    }
    const QString ussd = m_connected ? ussdText(m_adapter.record(), codec) : QString();
    if (m_ui->ussdText->text() != ussd)
        m_ui->ussdText->setText(ussd);
}

void LineStatusWindow::redrawPlot()
{
    if (!m_plotStale)
        return;
    m_plotStale = false;
    m_ui->plot->showHistory(m_history);
}

void LineStatusWindow::showEvent(QShowEvent *event)
{
    m_plotStale = true;
    redrawPlot();
    showLines();
    m_plotTimer.start();
    QDialog::showEvent(event);
}

void LineStatusWindow::hideEvent(QHideEvent *event)
{
    m_plotTimer.stop();
    QDialog::hideEvent(event);
}

void LineStatusWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_ui->retranslateUi(this);
        showLines();
    }
    QDialog::changeEvent(event);
}

bool LineStatusWindow::saveData(const QString &fileName)
{
    return save(fileName, m_history.toCsv());
}

bool LineStatusWindow::savePicture(const QString &fileName)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_ui->plot->grab().save(&buffer, "PNG");
    return save(fileName, png);
}

bool LineStatusWindow::save(const QString &fileName, const QByteArray &content)
{
    if (const Result<void> written = writeWholeFile(fileName, content, FileKind::Shared); !written) {
        errorBox(this, windowTitle(), written.error().message);
        return false;
    }
    return true;
}

void LineStatusWindow::onSaveData()
{
    FileDialog dialog(FileDialog::Mode::Save, tr("CSV files (*.csv)"), QStringLiteral("signal.csv"));
    if (dialog.exec(this))
        saveData(dialog.selectedFile());
}

void LineStatusWindow::onSavePicture()
{
    FileDialog dialog(FileDialog::Mode::Save, tr("PNG pictures (*.png)"), QStringLiteral("signal.png"));
    if (dialog.exec(this))
        savePicture(dialog.selectedFile());
}

} // namespace vestra7
