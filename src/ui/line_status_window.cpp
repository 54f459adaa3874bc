// SPDX-License-Identifier: GPL-3.0-or-later
// The line status window follows every record: the history of the adapter in use takes each sample,
// whether the window shows or not; the labels follow each record while it shows, the plot once a
// step of its own (two seconds), the most it can show anew.
#include "ui/line_status_window.h"
#include "ui_line_status_window.h"

#include "model/ansi_codec.h"
#include "model/checked_files.h"
#include "model/line_health.h"
#include "model/line_state.h"
#include "ports/adapter_port.h"
#include "ui/message_boxes.h"
#include "ui/plot_scale.h"
#include "ui/signal_plot.h"

#include <QBuffer>
#include <QDateTime>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <array>

namespace vestra7 {

namespace {

// Raw values are shown as numbers; the state says what it allows, then its number.
QString stateText(std::uint8_t state)
{
    return QCoreApplication::translate("LineStatusWindow", "%1 (%2)").arg(lineStateText(state)).arg(state);
}

// What names the adapter everywhere; an adapter claimed without a key is named by its serial number.
QString adapterName(const AdapterIdentity &identity)
{
    return identity.key.isEmpty() ? identity.serial : identity.key;
}

// The plot under a line of text, on the window's background.
QImage titledPicture(const QPixmap &plot, const QString &title, const QWidget &style)
{
    const QFontMetrics metrics(style.font());
    const int titleHeight = metrics.height() * 2;
    QImage picture(plot.width(), plot.height() + titleHeight, QImage::Format_RGB32);
    picture.fill(style.palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.setFont(style.font());
    painter.setPen(style.palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, 0, plot.width(), titleHeight), Qt::AlignCenter | Qt::TextSingleLine, title);
    painter.drawPixmap(0, titleHeight, plot);
    painter.end();
    picture.setText(QStringLiteral("Title"), title);
    return picture;
}

} // namespace

LineStatusWindow::LineStatusWindow(AdapterPort &adapter, QWidget *parent, Clock clock)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LineStatusWindow>())
    , m_adapter(adapter)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentMSecsSinceEpoch(); }))
    , m_dataDialog(FileDialog::Mode::Save, QString(), QStringLiteral("signal.csv"))
    , m_pictureDialog(FileDialog::Mode::Save, QString(), QStringLiteral("signal.png"))
{
    m_ui->setupUi(this);
    setModal(false);
    m_dataDialog.setDefaultSuffix(QStringLiteral("csv"));
    m_pictureDialog.setDefaultSuffix(QStringLiteral("png"));
    connect(m_ui->saveDataButton, &QPushButton::clicked, this, &LineStatusWindow::onSaveData);
    connect(m_ui->savePictureButton, &QPushButton::clicked, this, &LineStatusWindow::onSavePicture);
    connect(&m_adapter, &AdapterPort::recordChanged, this, &LineStatusWindow::onRecordChanged);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &LineStatusWindow::onConnectionChanged);
    m_plotTimer.setInterval(SignalPlot::kStep);
    connect(&m_plotTimer, &QTimer::timeout, this, &LineStatusWindow::redrawPlot);
    showAdapter();
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
    if (connected) {
        // Each adapter has its history: the window shows the one now in use.
        const QString adapter = adapterName(m_adapter.identity());
        if (adapter != m_shownAdapter) {
            m_shownAdapter = adapter;
            showAdapter();
            m_plotStale = true;
            if (isVisible())
                redrawPlot();
        }
    }
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
    m_histories.append(m_shownAdapter, sample);
    m_plotStale = true;
    if (isVisible())
        showLines();
}

void LineStatusWindow::showAdapter()
{
    m_ui->adapterName->setText(m_shownAdapter.isEmpty() ? tr("–") : m_shownAdapter);
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
    m_ui->plot->showHistory(history());
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
        showAdapter();
        showLines();
    }
    QDialog::changeEvent(event);
}

bool LineStatusWindow::saveData(const QString &fileName)
{
    return save(fileName, history().toCsv(m_shownAdapter));
}

QString LineStatusWindow::pictureTitle() const
{
    const auto &samples = history().samples();
    const QDateTime newest = QDateTime::fromMSecsSinceEpoch(samples.empty() ? m_clock() : samples.back().time);
    return tr("Signal level of adapter %1 on %2, local time (%3)")
        .arg(m_shownAdapter.isEmpty() ? tr("–") : m_shownAdapter, newest.toString(QStringLiteral("yyyy-MM-dd")),
             utcOffsetText(newest.offsetFromUtc()));
}

bool LineStatusWindow::savePicture(const QString &fileName)
{
    // The plot as it would show now, even if the last redraw is up to a step old, laid out as the
    // chart does on the event loop's next pass.
    m_plotStale = true;
    redrawPlot();
    QCoreApplication::sendPostedEvents();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    titledPicture(m_ui->plot->grab(), pictureTitle(), *this).save(&buffer, "PNG");
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
    m_dataDialog.setNameFilter(tr("CSV files (*.csv)"));
    if (m_dataDialog.exec(this))
        saveData(m_dataDialog.selectedFile());
}

void LineStatusWindow::onSavePicture()
{
    m_pictureDialog.setNameFilter(tr("PNG pictures (*.png)"));
    if (m_pictureDialog.exec(this))
        savePicture(m_pictureDialog.selectedFile());
}

} // namespace vestra7
