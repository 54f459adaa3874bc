// The main window: its form, Refresh from the record, the connected and disconnected states, and
// its start and end.
#include "ui/umain.h"

#include "app/access_problem.h"
#include "link/device_link.h"
#include "model/text_field.h"
#include "ui/firmware_update_dialog.h"
#include "ui/window_fonts.h"
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"

#include "ui_umain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLayout>
#include <QMessageBox>

#include <algorithm>
#include <vector>

namespace {

constexpr int kPollIntervalMs = 200;
constexpr int kFormMargin = 10;
// "Update firmware" is the one menu-bar entry that stays usable without a connected adapter, so that
// an adapter left in its boot loader can still be updated.
constexpr qsizetype kUpdateEntry = 1;

std::unique_ptr<Ui_Tfmain> buildForm(QMainWindow *window)
{
    auto ui = std::make_unique<Ui_Tfmain>();
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

Tfmain::Tfmain(DeviceLink &link, QWidget *parent)
    : QMainWindow(parent)
    , fsave(FileDialog::Mode::Save, QStringLiteral("Config File (*.cfg)"), QStringLiteral("config.cfg"))
    , fopen(FileDialog::Mode::Open, QStringLiteral("Config File (*.cfg)"), QStringLiteral("config.cfg"))
    , ui(buildForm(this))
    , m_link(link)
    , m_contacts(ui->clist)
    , m_calls(ui->calls)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // The client area keeps the form's size; the menu bar comes on top of it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    ui->client->setFont(tahomaBold(13));
    for (QWidget *large : {static_cast<QWidget *>(ui->lbl1), static_cast<QWidget *>(ui->lbl2),
                           static_cast<QWidget *>(ui->edt_name), static_cast<QWidget *>(ui->edt_num)})
        large->setFont(tahomaBold(16));
    for (QTableWidget *list : {ui->clist, ui->calls})
        list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Characters reach the number filter only as key presses, never as input-method text.
    ui->edt_num->setAttribute(Qt::WA_InputMethodEnabled, false);

    const struct
    {
        GlyphButton *button;
        int tag;
    } lineButtons[] = {
        {ui->btn_off0, 0}, {ui->btn_on0, kCallFlag}, {ui->btn_off1, kLineBit}, {ui->btn_on1, kLineBit | kCallFlag}};
    for (const auto &[button, tag] : lineButtons) {
        button->setTag(tag);
        button->setGlyph(glyphPicture((tag & kCallFlag) ? QStringLiteral("ON") : QStringLiteral("OFF")));
    }

    ui->fset->connectRecord(m_link.record, [this] { save(); });
    connectControls();

    tmr.setInterval(kPollIntervalMs);
    connect(&tmr, &QTimer::timeout, this, &Tfmain::tmrTimer);
}

Tfmain::~Tfmain() = default;

void Tfmain::connectControls()
{
    for (GlyphButton *button : {ui->btn_on0, ui->btn_off0, ui->btn_on1, ui->btn_off1})
        connect(button, &GlyphButton::OnMouseDown, this, [this](GlyphButton *sender) { CALL_MouseDown(sender); });
    for (QObject *control :
         {static_cast<QObject *>(ui->lbl1), static_cast<QObject *>(ui->lbl2), static_cast<QObject *>(ui->edt_name),
          static_cast<QObject *>(ui->edt_num), static_cast<QObject *>(ui->clist), static_cast<QObject *>(ui->calls)})
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
                        clistSelectItem(*list, row);
                });
    }

    connect(ui->EXP, &QAction::triggered, this, &Tfmain::EXPClick);
    connect(ui->IMP, &QAction::triggered, this, &Tfmain::IMPClick);
    connect(ui->FCLOSE, &QAction::triggered, this, &Tfmain::FCLOSEClick);
    connect(ui->UPD, &QAction::triggered, this, &Tfmain::UPDClick);
    connect(ui->SETTINGS, &QAction::triggered, this, &Tfmain::SETTINGSClick);
    connect(ui->DEF, &QAction::triggered, this, &Tfmain::DEFClick);
    connect(ui->INF, &QAction::triggered, this, &Tfmain::INFClick);
}

void Tfmain::Refresh()
{
    showActiveParty();
    m_contacts.showEntries(m_link.record.contact);
    m_calls.showEntries(m_link.record.call_list);
    ui->fset->LoadFromRecord();
    showLineButtons();
}

void Tfmain::showActiveParty()
{
    // The window's focused control, also while another window is active: the user may be typing.
    const QWidget *focused = focusWidget();
    if (focused == ui->edt_name || focused == ui->edt_num)
        return;
    // An active line other than A or B has no party to show.
    const PartyEntry *party = activeSubscriber(m_link.record);
    setTextIfChanged(ui->edt_name, party ? withoutCarriageReturns(readTextField(party->name)) : QString());
    setTextIfChanged(ui->edt_num, party ? withoutCarriageReturns(readTextField(party->number)) : QString());
}

void Tfmain::showLineButtons()
{
    const DeviceRecord &record = m_link.record;
    // Both call buttons look at the one number edit, which shows the active line's party.
    const bool numberGiven = ui->edt_num->text().size() > 2;
    GlyphButton *const callButtons[kLineCount] = {ui->btn_on0, ui->btn_on1};
    GlyphButton *const hangUpButtons[kLineCount] = {ui->btn_off0, ui->btn_off1};
    for (int line = 0; line < kLineCount; ++line) {
        const unsigned state = record.stat[line];
        showButtonState(callButtons[line], state <= 1 && numberGiven);
        showButtonState(hangUpButtons[line], state >= 3);
    }
}

void Tfmain::showButtonState(GlyphButton *button, bool allowed)
{
    const int tag = button->Tag();
    const bool call = (tag & kCallFlag) != 0;
    button->setEnabled(allowed);
    const bool showsFaded = (tag & kDimmedMark) != 0;
    if (allowed == showsFaded) {
        QString glyph = call ? QStringLiteral("ON") : QStringLiteral("OFF");
        if (!allowed)
            glyph.prepend(QLatin1Char('n'));
        button->loadGlyph(glyphPicture(glyph));
        button->Repaint();
    }
    button->setTag(allowed ? tag & (kCallFlag | kLineBit) : tag | kDimmedMark);
}

void Tfmain::save()
{
    m_link.save();
}

void Tfmain::Cont(bool en)
{
    // Disabling the panels takes the focus from their controls; remember it for the reconnection,
    // so that a passing device change does not leave the user's half-typed party to the next refresh.
    QWidget *focused = focusWidget();
    if (!en && focused && (ui->pnl1->isAncestorOf(focused) || ui->fset->isAncestorOf(focused)))
        m_focusBeforeDisconnect = focused;

    for (QWidget *control :
         {static_cast<QWidget *>(ui->pnl1), static_cast<QWidget *>(ui->fset), static_cast<QWidget *>(ui->veil)})
        control->setEnabled(en);
    const QList<QAction *> entries = ui->mm->actions();
    for (qsizetype i = 0; i < entries.size(); ++i)
        entries[i]->setEnabled(en || i == kUpdateEntry);

    ui->veil->setGeometry(
        ui->client->rect().marginsRemoved(QMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin)));
    ui->veil->raise();
    ui->veil->setVisible(!en);

    if (en && m_focusBeforeDisconnect) {
        if (!focusWidget())
            m_focusBeforeDisconnect->setFocus(Qt::OtherFocusReason);
        m_focusBeforeDisconnect = nullptr;
    }
}

void Tfmain::showIdentity(const QString &name, const QString &serial, const QString &version)
{
    if (fu)
        fu->setIdentity(name, serial, version);
}

void Tfmain::showTitle(const QString &title)
{
    // Only the main window carries the adapter's name. Set as the application's display name, it
    // would be appended by the desktop to the caption of every other window and box.
    m_applicationTitle = title;
    setWindowTitle(title);
}

void Tfmain::showAccessProblem(const QString &reason)
{
    QMessageBox::warning(this, applicationTitle(), accessProblemText(reason));
}

void Tfmain::showSendFailure(const QString &text)
{
    QMessageBox::critical(this, applicationTitle(), text);
}

void Tfmain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void Tfmain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void Tfmain::FormShow()
{
    ui->fset->hide();
    // Disconnected until an adapter in normal mode is claimed, also when no HID device is present.
    Cont(false);
    m_link.start_device_link();
    ui->fset->raise();
    ui->veil->raise();
    tmr.start();
}

void Tfmain::FormClose()
{
    tmr.stop();
    m_link.terminate();
}

void Tfmain::tmrTimer()
{
    if (m_link.boot_mode || (fu && fu->isVisible()))
        return;
    m_link.poll();
}
