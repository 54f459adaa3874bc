// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its form, the record shown, the connected and disconnected states, what the
// adapter announces, and its start and end.
#include "ui/main_window.h"

#include "link/adapter_port.h"
#include "model/device_record.h"
#include "model/text_field.h"
#include "ui/access_problem.h"
#include "ui/backup_keeper.h"
#include "ui/field_fit_validator.h"
#include "ui/logging.h"
#include "ui/panel_text.h"
#include "ui/window_fonts.h"
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"

#include "ui_main_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>
#include <vector>

namespace {

constexpr int kFormMargin = 10;
// "Update firmware" is the one adapter command on the menu bar that stays usable without a connected
// adapter, so that an adapter left in its boot loader can still be updated.
constexpr qsizetype kUpdateEntry = 1;

const QString kConfigFileName = QStringLiteral("config.cfg");

std::unique_ptr<Ui::MainWindow> buildForm(QMainWindow *window)
{
    auto ui = std::make_unique<Ui::MainWindow>();
    ui->setupUi(window);
    return ui;
}

QString withoutCarriageReturns(QString text)
{
    return text.remove(QLatin1Char('\r'));
}

void setTextIfChanged(QLineEdit *edit, const QString &text)
{
    // Setting an equal text would still reset the cursor and the undo history.
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

MainWindow::MainWindow(AdapterPort &adapter, QWidget *parent)
    : QMainWindow(parent)
    , m_ui(buildForm(this))
    , m_adapter(adapter)
    , m_lineButtons{{{m_ui->callButtonLineA, kLineA, true},
                     {m_ui->hangUpButtonLineA, kLineA, false},
                     {m_ui->callButtonLineB, kLineB, true},
                     {m_ui->hangUpButtonLineB, kLineB, false}}}
    , m_contacts(m_ui->phoneBookList)
    , m_calls(m_ui->callList)
    , m_saveFileDialog(FileDialog::Mode::Save, configFileFilter(), kConfigFileName)
    , m_openFileDialog(FileDialog::Mode::Open, configFileFilter(), kConfigFileName)
    , m_exportContactsDialog(FileDialog::Mode::Save, contactsExportFilter(), QStringLiteral("contacts.vcf"))
    , m_importContactsDialog(FileDialog::Mode::Open, contactsImportFilter(), QStringLiteral("contacts.vcf"))
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
    // Characters reach the number filter only as key presses, never as input-method text.
    m_ui->partyNumberEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    // The edits take only what the record's fields hold as shown, so what they show is what is stored.
    for (QLineEdit *edit : {m_ui->partyNameEdit, m_ui->partyNumberEdit}) {
        auto *validator = new FieldFitValidator(kPartyTextWidth, edit);
        edit->setValidator(validator);
        // Said beside the edit to the user typing or pasting there. A refresh writes the edits only
        // while neither has the focus, and never anything that does not fit.
        connect(validator, &FieldFitValidator::textRefused, edit, [this, edit](const QString &explanation) {
            if (focusWidget() == edit)
                QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), explanation, edit);
        });
    }
    for (QWidget *label : std::initializer_list<QWidget *>{m_ui->lineALabel, m_ui->lineBLabel, m_ui->nameCaption,
                                                           m_ui->numberCaption, m_ui->phoneBookCaption,
                                                           m_ui->callListCaption})
        setDarkPanelText(label);
    for (const LineButton &lineButton : m_lineButtons)
        lineButton.button->setGlyph(glyphPicture(lineButton.calls ? QStringLiteral("ON") : QStringLiteral("OFF")));

    m_ui->settingsPanel->setAdapter(m_adapter);
    // Hidden from the start, so that showing the window does not show and hide it again.
    m_ui->settingsPanel->hide();
    addToolsMenu();
    connectAdapter();
    connectControls();
    connectKeys();
    addAdapterChoice();
    showLineStates();
}

MainWindow::~MainWindow() = default;

QString MainWindow::configFileFilter()
{
    return tr("Config File (*.cfg)");
}

QString MainWindow::contactsExportFilter()
{
    return tr("vCard (*.vcf);;CSV (*.csv)");
}

QString MainWindow::contactsImportFilter()
{
    return tr("Phone book (*.vcf *.vcard *.csv);;All files (*)");
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    m_ui->retranslateUi(this);
    // The form's title is the program's; once an adapter was found the window carries its name.
    setWindowTitle(m_applicationTitle);
    showKeysInToolTips();
    showLineStates();
    m_saveFileDialog.setNameFilter(configFileFilter());
    m_openFileDialog.setNameFilter(configFileFilter());
    m_exportContactsDialog.setNameFilter(contactsExportFilter());
    m_importContactsDialog.setNameFilter(contactsImportFilter());
}

void MainWindow::setConfirmer(Confirmer confirm)
{
    m_confirm = std::move(confirm);
    if (m_backupKeeper)
        m_backupKeeper->setConfirmer(m_confirm);
}

void MainWindow::setBackupKeeper(BackupKeeper *keeper)
{
    m_backupKeeper = keeper;
    if (m_backupKeeper && m_confirm)
        m_backupKeeper->setConfirmer(m_confirm);
}

bool MainWindow::confirm(const QString &question, bool cancelFirst)
{
    if (m_confirm)
        return m_confirm(this, question);
    return cancelFirst ? cautiousConfirmBox(this, question) : confirmBox(this, question);
}

bool MainWindow::backUpBefore(BackupStep step)
{
    return !m_backupKeeper || m_backupKeeper->backUpBefore(step, this);
}

void MainWindow::connectAdapter()
{
    connect(&m_adapter, &AdapterPort::recordChanged, this, &MainWindow::showRecord);
    connect(&m_adapter, &AdapterPort::connectionChanged, this, &MainWindow::setConnected);
    connect(&m_adapter, &AdapterPort::identityChanged, this, &MainWindow::showIdentity);
    connect(&m_adapter, &AdapterPort::accessProblem, this, &MainWindow::showAccessProblem);
    connect(&m_adapter, &AdapterPort::sendFailed, this, &MainWindow::showSendFailure);
}

void MainWindow::connectControls()
{
    for (const LineButton &lineButton : m_lineButtons)
        connect(lineButton.button, &GlyphButton::pressed, this,
                [this, &lineButton] { onLineButtonPressed(lineButton); });
    for (QObject *control : std::initializer_list<QObject *>{m_ui->lineALabel, m_ui->lineBLabel, m_ui->partyNameEdit,
                                                             m_ui->partyNumberEdit, m_ui->phoneBookList, m_ui->callList,
                                                             m_ui->settingsPanel})
        control->installEventFilter(this);
    // Every row that becomes selected is handled, each in turn, from the top down.
    for (const PartyTable *list : {&m_contacts, &m_calls}) {
        connect(list->widget()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, list](const QItemSelection &selected) {
                    std::vector<int> rows;
                    for (const QModelIndex &index : selected.indexes())
                        rows.push_back(index.row());
                    std::sort(rows.begin(), rows.end());
                    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
                    for (const int row : rows)
                        onListRowSelected(*list, row);
                });
    }

    connect(m_ui->saveToFileAction, &QAction::triggered, this, &MainWindow::onSaveToFile);
    connect(m_ui->loadFromFileAction, &QAction::triggered, this, &MainWindow::onLoadFromFile);
    connect(m_ui->closeAction, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->updateFirmwareAction, &QAction::triggered, this, &MainWindow::onUpdateFirmware);
    connect(m_ui->settingsAction, &QAction::triggered, this, &MainWindow::onToggleSettings);
    connect(m_ui->setToDefaultAction, &QAction::triggered, this, &MainWindow::onSetToDefault);
    connect(m_ui->aboutAction, &QAction::triggered, this, &MainWindow::onAbout);
    connect(m_ui->aboutProgramAction, &QAction::triggered, this, &MainWindow::onAboutProgram);
    connect(m_ui->keyboardShortcutsAction, &QAction::triggered, this, &MainWindow::onShowKeyboardShortcuts);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        if (watched == m_ui->partyNameEdit || watched == m_ui->partyNumberEdit)
            return !onPartyEditKey(watched, key);
        if (watched == m_ui->phoneBookList)
            onPhoneBookKey(key);
        else if (watched == m_ui->callList)
            onCallListKey(key);
    } else if (watched == m_ui->settingsPanel && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        coverLinePanel(!m_ui->settingsPanel->isHidden());
    } else if (event->type() == QEvent::MouseButtonRelease &&
               (watched == m_ui->lineALabel || watched == m_ui->lineBLabel)) {
        // A click: the release of the left button that was pressed on the label, still over it.
        const auto &mouse = *static_cast<QMouseEvent *>(event);
        if (mouse.button() == Qt::LeftButton &&
            static_cast<QWidget *>(watched)->rect().contains(mouse.position().toPoint()))
            onLineLabelClicked(watched == m_ui->lineBLabel ? kLineB : kLineA);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showRecord()
{
    const DeviceRecord &record = m_adapter.record();
    showActiveParty();
    m_contacts.showEntries(record.contact);
    m_calls.showEntries(record.call_list);
    m_ui->settingsPanel->showSettings(record);
    showLineButtons();
    showLineStates();
}

void MainWindow::showActiveParty(bool evenWhileTyping)
{
    // The window's focused control, also while another window is active: the user may be typing.
    const QWidget *focused = focusWidget();
    if (!evenWhileTyping && (focused == m_ui->partyNameEdit || focused == m_ui->partyNumberEdit))
        return;
    // An active line other than A or B has no party to show.
    const PartyEntry *party = activeSubscriber(m_adapter.record());
    setTextIfChanged(m_ui->partyNameEdit, party ? withoutCarriageReturns(readTextField(party->name)) : QString());
    setTextIfChanged(m_ui->partyNumberEdit, party ? withoutCarriageReturns(readTextField(party->number)) : QString());
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
    // The program's own help needs no adapter either.
    const QList<QAction *> entries = m_ui->mainMenu->actions();
    for (qsizetype i = 0; i < entries.size(); ++i)
        entries[i]->setEnabled(connected || i == kUpdateEntry || entries[i] == m_ui->helpMenu->menuAction());

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
    m_applicationTitle = identity.product;
    setWindowTitle(identity.product);
}

void MainWindow::showAccessProblem(const QString &reason)
{
    qCDebug(lcUi) << "the adapter cannot be opened:" << reason;
    QMessageBox::warning(this, m_applicationTitle, accessProblemText(reason));
}

void MainWindow::showSendFailure(const QString &text)
{
    qCDebug(lcUi) << "a write to the adapter failed:" << text;
    QMessageBox::critical(this, m_applicationTitle, text);
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
