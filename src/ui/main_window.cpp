// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its form and parts, the record shown, the connected and disconnected states,
// what the adapter announces, and its start and end.
#include "ui/main_window.h"

#include "model/backup_step.h"
#include "model/line_state.h"
#include "ports/adapter_port.h"
#include "ui/access_problem.h"
#include "ui/config_file_commands.h"
#include "ui/disconnected_overlay.h"
#include "ui/help_boxes.h"
#include "ui/line_controls.h"
#include "ui/logging.h"
#include "ui/message_boxes.h"
#include "ui/panel_text.h"
#include "ui/party_books.h"
#include "ui/plain_text.h"
#include "ui/tools_menu.h"
#include "ui/window_fonts.h"
#include "ui/window_placement.h"

#include "ui_main_window.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QLayout>
#include <QMessageBox>
#include <QShortcut>

#include <algorithm>

namespace vestra7 {

namespace {

constexpr int kFormMargin = 10;

std::unique_ptr<Ui::MainWindow> buildForm(QMainWindow *window)
{
    auto ui = std::make_unique<Ui::MainWindow>();
    ui->setupUi(window);
    return ui;
}

QString withoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

} // namespace

MainWindow::MainWindow(AdapterPort &adapter, QWidget *parent)
    : QMainWindow(parent)
    , m_ui(buildForm(this))
    , m_adapter(adapter)
    , m_prompter(*this)
{
    setUpLook();
    m_books = std::make_unique<PartyBooks>(
        PartyBooks::Widgets{m_ui->partyNameEdit, m_ui->partyNumberEdit, m_ui->phoneBookList, m_ui->callList}, m_adapter,
        m_prompter);
    m_lines = std::make_unique<LineControls>(LineControls::Widgets{{m_ui->lineALabel, m_ui->lineBLabel},
                                                                   {m_ui->callButtonLineA, m_ui->callButtonLineB},
                                                                   {m_ui->hangUpButtonLineA, m_ui->hangUpButtonLineB},
                                                                   m_ui->partyNameEdit,
                                                                   m_ui->partyNumberEdit},
                                             m_adapter, *this);
    m_configFiles = std::make_unique<ConfigFileCommands>(m_adapter, m_prompter, *this);
    m_tools = std::make_unique<ToolsMenu>(*m_ui->mainMenu, m_adapter, m_prompter, *this);
    connect(m_tools.get(), &ToolsMenu::codePageSwitched, this, &MainWindow::onCodePageSwitched);

    m_ui->settingsPanel->setAdapter(m_adapter);
    // Hidden from the start, so that showing the window does not show and hide it again.
    m_ui->settingsPanel->hide();
    m_ui->settingsPanel->installEventFilter(this);
    connectAdapter();
    connectMenu();
}

MainWindow::~MainWindow() = default;

void MainWindow::setUpLook()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // The client area keeps the form's size; the menu bar comes on top of it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_ui->clientArea->setFont(tahomaBold(13));
    for (QWidget *large : std::initializer_list<QWidget *>{m_ui->lineALabel, m_ui->lineBLabel, m_ui->partyNameEdit,
                                                           m_ui->partyNumberEdit})
        large->setFont(tahomaBold(16));
    for (QTableWidget *list : {m_ui->phoneBookList, m_ui->callList})
        list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (QWidget *label :
         std::initializer_list<QWidget *>{m_ui->lineALabel, m_ui->lineBLabel, m_ui->nameCaption, m_ui->numberCaption,
                                          m_ui->phoneBookCaption, m_ui->callListCaption})
        setDarkPanelText(label);
}

void MainWindow::setLineStatusWindow(QDialog *lineStatusWindow)
{
    m_tools->setLineStatusWindow(lineStatusWindow);
}

FileDialog &MainWindow::saveFileDialog()
{
    return m_configFiles->saveFileDialog();
}

FileDialog &MainWindow::openFileDialog()
{
    return m_configFiles->openFileDialog();
}

FileDialog &MainWindow::exportContactsDialog()
{
    return m_tools->exportContactsDialog();
}

FileDialog &MainWindow::importContactsDialog()
{
    return m_tools->importContactsDialog();
}

int MainWindow::selectedRow() const
{
    return m_books->selectedRow();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    m_ui->retranslateUi(this);
    // The form's title is the program's; once an adapter was found the window carries its name.
    setWindowTitle(m_prompter.title());
    m_lines->retranslate();
    m_configFiles->retranslate();
    m_tools->retranslate();
}

void MainWindow::connectAdapter()
{
    connect(&m_adapter, &AdapterPort::recordChanged, this, &MainWindow::showRecord);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &MainWindow::setConnected);
    connect(&m_adapter, &AdapterPort::identityChanged, this, &MainWindow::showIdentity);
    connect(&m_adapter, &AdapterPort::accessProblem, this, &MainWindow::showAccessProblem);
    connect(&m_adapter, &AdapterPort::sendFailed, this, &MainWindow::showSendFailure);
    connect(&m_adapter, &AdapterPort::adapterNotBack, this, &MainWindow::showAdapterNotBack);
    // The overlay shows while no adapter is connected, which is the case while one is held elsewhere.
    connect(&m_adapter, &AdapterPort::inUseChanged, m_ui->overlay, &DisconnectedOverlay::setInUse);
}

void MainWindow::connectMenu()
{
    connect(m_ui->saveToFileAction, &QAction::triggered, m_configFiles.get(), &ConfigFileCommands::saveToFile);
    connect(m_ui->loadFromFileAction, &QAction::triggered, m_configFiles.get(), &ConfigFileCommands::loadFromFile);
    connect(m_ui->closeAction, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->updateFirmwareAction, &QAction::triggered, this, &MainWindow::onUpdateFirmware);
    connect(m_ui->settingsAction, &QAction::triggered, this, &MainWindow::onToggleSettings);
    connect(m_ui->setToDefaultAction, &QAction::triggered, this, &MainWindow::onSetToDefault);
    connect(m_ui->aboutAction, &QAction::triggered, this,
            [this] { showAdapterInformation(this, m_adapter.identity()); });
    connect(m_ui->aboutProgramAction, &QAction::triggered, this, [this] { showAboutProgram(this); });
    connect(m_ui->keyboardShortcutsAction, &QAction::triggered, this, &MainWindow::onShowKeyboardShortcuts);
    // Qt's menu bar has no F10 of its own. It opens the first menu that can be opened: "File", or
    // "Help" while no adapter is connected.
    connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, this, [this] {
        const QList<QAction *> entries = m_ui->mainMenu->actions();
        const auto usable = std::find_if(entries.begin(), entries.end(),
                                         [](const QAction *entry) { return entry->menu() && entry->isEnabled(); });
        if (usable != entries.end())
            m_ui->mainMenu->setActiveAction(*usable);
    });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->settingsPanel && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        coverLinePanel(!m_ui->settingsPanel->isHidden());
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showRecord()
{
    m_books->showRecord();
    m_ui->settingsPanel->showSettings(m_adapter.record());
    m_lines->showRecord();
}

void MainWindow::onCodePageSwitched()
{
    m_books->rereadTexts();
    showRecord();
    // The line status window reads its texts again as it does when the language changes.
    if (QDialog *lineStatus = m_tools->lineStatusWindow()) {
        QEvent reread(QEvent::LanguageChange);
        QCoreApplication::sendEvent(lineStatus, &reread);
    }
}

void MainWindow::coverLinePanel(bool covered)
{
    if (covered == m_ui->linePanel->isCovered())
        return;
    if (covered) {
        // The panel takes the focus as it shows; it goes back where it was once the panel goes.
        m_focusBeforeSettings = focusWidget();
        m_ui->linePanel->setCovered(true);
        return;
    }
    m_ui->linePanel->setCovered(false);
    if (m_focusBeforeSettings && m_focusBeforeSettings->isVisible())
        m_focusBeforeSettings->setFocus(Qt::OtherFocusReason);
    m_focusBeforeSettings = nullptr;
}

void MainWindow::setConnected(bool connected)
{
    qCDebug(lcUi) << (connected ? "connected" : "disconnected");
    m_connected = connected;
    // Disabling the panels takes the focus from their controls; remember it for the reconnection,
    // so that a passing device change does not leave the user's half-typed party to the next refresh.
    QWidget *focused = focusWidget();
    if (!connected && focused && (m_ui->linePanel->isAncestorOf(focused) || m_ui->settingsPanel->isAncestorOf(focused)))
        m_focusBeforeDisconnect = focused;

    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->linePanel, m_ui->settingsPanel, m_ui->overlay})
        control->setEnabled(connected);
    // "Update firmware" is the one adapter command on the menu bar that stays usable without a
    // connected adapter, so that an adapter left in its boot loader can still be updated; the
    // program's own help needs no adapter either.
    for (QAction *entry : m_ui->mainMenu->actions())
        entry->setEnabled(connected || entry == m_ui->updateFirmwareAction || entry == m_ui->helpMenu->menuAction());

    m_ui->overlay->setGeometry(
        m_ui->clientArea->rect().marginsRemoved(QMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin)));
    m_ui->overlay->raise();
    m_ui->overlay->setVisible(!connected);

    if (connected && m_focusBeforeDisconnect) {
        if (!focusWidget())
            m_focusBeforeDisconnect->setFocus(Qt::OtherFocusReason);
        m_focusBeforeDisconnect = nullptr;
    }
}

void MainWindow::showIdentity(const AdapterIdentity &identity)
{
    // Only the main window carries the adapter's name. Set as the application's display name, it
    // would be appended by the desktop to the caption of every other window and box.
    qCDebug(lcUi) << "adapter" << identity.product << "serial" << identity.serial << "version" << identity.version;
    m_prompter.setTitle(plainWindowTitle(identity.product));
    setWindowTitle(plainWindowTitle(identity.product));
}

void MainWindow::showAccessProblem(const QString &reason)
{
    qCDebug(lcUi) << "the adapter cannot be opened:" << reason;
    warningBox(this, m_prompter.title(), accessProblemText(reason));
}

void MainWindow::showSendFailure(const QString &text)
{
    qCDebug(lcUi) << "a write to the adapter failed:" << text;
    errorBox(this, m_prompter.title(), text);
}

void MainWindow::showAdapterNotBack(const QString &key)
{
    qCDebug(lcUi) << "the adapter" << key << "did not come back from its restart";
    // Not modal: the search that gave it up goes on to take the first adapter found.
    auto *box = new QMessageBox(QMessageBox::Warning, m_prompter.title(),
                                tr("The adapter %1 did not come back after its restart. The first adapter found "
                                   "is used now.")
                                    .arg(key),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("adapterNotBackBox"));
    // The key comes from the device: plain text, never markup.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    m_ui->settingsPanel->hide();
    // Disconnected until an adapter in normal mode is claimed, also when no HID device is present.
    setConnected(false);
    m_adapter.start();
    m_ui->settingsPanel->raise();
    m_ui->overlay->raise();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    qCDebug(lcUi) << "main window closed";
    m_adapter.stop();
    QMainWindow::closeEvent(event);
}

void MainWindow::onUpdateFirmware()
{
    if (!m_updateWindow)
        return;
    // The adapter restarts into its boot loader as soon as the window shows, which ends any call.
    if (m_connected && anyLineInCall(m_adapter.record()) &&
        !m_prompter.confirm(tr("A line is in a call. Updating the firmware restarts the adapter, which ends the "
                               "call.\n\nGo on?"),
                            true))
        return;
    // Give a window that was never shown the size it will show with, so that the centring holds.
    if (!m_updateWindow->testAttribute(Qt::WA_Resized))
        m_updateWindow->adjustSize();
    centreOver(*m_updateWindow, *this);
    qCDebug(lcUi) << "update window opened";
    m_updateWindow->exec();
    qCDebug(lcUi) << "update window closed";
}

void MainWindow::onToggleSettings()
{
    m_ui->settingsPanel->setVisible(m_ui->settingsPanel->isHidden());
    qCDebug(lcUi) << (m_ui->settingsPanel->isHidden() ? "settings panel hidden" : "settings panel shown");
}

void MainWindow::onSetToDefault()
{
    if (!m_prompter.confirm(tr("Set to default?") + QStringLiteral("\n\n") +
                            tr("This also empties the phone book and the call list. What the adapter holds now is "
                               "kept in a backup.")) ||
        !m_prompter.backUpBefore(BackupStep::SetToDefault)) {
        qCDebug(lcUi) << "set to default: cancelled";
        return;
    }
    qCDebug(lcUi) << "set to default";
    // The selectors show the new values with the adapter's reply.
    m_adapter.resetToDefaults();
}

void MainWindow::onShowKeyboardShortcuts()
{
    std::vector<std::pair<QKeySequence, QString>> keys;
    for (const QAction *action :
         {m_ui->saveToFileAction, m_ui->loadFromFileAction, m_ui->closeAction, m_ui->aboutAction})
        keys.emplace_back(action->shortcut(), withoutMnemonic(action->text()));
    if (const auto *lineStatus = findChild<QAction *>(QStringLiteral("lineStatusAction")))
        keys.emplace_back(lineStatus->shortcut(), withoutMnemonic(lineStatus->text()));
    const std::vector<std::pair<QKeySequence, QString>> lineKeys = m_lines->shortcuts();
    keys.insert(keys.end(), lineKeys.begin(), lineKeys.end());
    showKeyboardShortcuts(this, keys);
}

} // namespace vestra7
