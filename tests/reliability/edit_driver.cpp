// SPDX-License-Identifier: GPL-3.0-or-later
// The user's edits through the main window's controls.
#include "edit_driver.h"

#include "link/adapter.h"
#include "ui/main_window.h"
#include "widgets/glyph_button.h"
#include "widgets/spin_selector.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <cstddef>
#include <cstring>
#include <sstream>

namespace vestra7 {

namespace {

struct Field
{
    const char *name;
    std::size_t offset;
    std::size_t size;
};

// What the user owns in the record: the adapter takes these from every record write and changes
// them no other way (no incoming calls are raised in these runs).
const Field kUserFields[] = {
    {"act_line", offsetof(DeviceRecord, act_line), 1},
    {"subscriber", offsetof(DeviceRecord, subscriber), sizeof(DeviceRecord::subscriber)},
    {"contact", offsetof(DeviceRecord, contact), sizeof(DeviceRecord::contact)},
    {"mic_gain", offsetof(DeviceRecord, mic_gain), 1},
    {"spk_gain", offsetof(DeviceRecord, spk_gain), 1},
    {"auto_answer", offsetof(DeviceRecord, auto_answer), sizeof(DeviceRecord::auto_answer)},
};

std::string bytesKey(const DeviceRecord &record)
{
    const auto bytes = record.bytes();
    return {bytes.begin(), bytes.end()};
}

bool inCall(const DeviceRecord &record, int line)
{
    return record.stat[line] >= 2;
}

} // namespace

EditDriver::EditDriver(MainWindow &window, Adapter &link, std::uint32_t seed)
    : m_window(window)
    , m_link(link)
    , m_random(seed)
    , m_touched(kRecordSize, false)
    , m_name(window.findChild<QLineEdit *>(QStringLiteral("partyNameEdit")))
    , m_number(window.findChild<QLineEdit *>(QStringLiteral("partyNumberEdit")))
    , m_contacts(window.findChild<QTableWidget *>(QStringLiteral("phoneBookList")))
    , m_lineLabels{window.findChild<QLabel *>(QStringLiteral("lineALabel")),
                   window.findChild<QLabel *>(QStringLiteral("lineBLabel"))}
    , m_callButtons{window.findChild<GlyphButton *>(QStringLiteral("callButtonLineA")),
                    window.findChild<GlyphButton *>(QStringLiteral("callButtonLineB"))}
    , m_hangUpButtons{window.findChild<GlyphButton *>(QStringLiteral("hangUpButtonLineA")),
                      window.findChild<GlyphButton *>(QStringLiteral("hangUpButtonLineB"))}
    , m_settings{window.findChild<SpinSelector *>(QStringLiteral("micGainSelector")),
                 window.findChild<SpinSelector *>(QStringLiteral("lineGainSelector")),
                 window.findChild<SpinSelector *>(QStringLiteral("autoAnswerASelector")),
                 window.findChild<SpinSelector *>(QStringLiteral("autoAnswerBSelector"))}
{
}

template <class Step> void EditDriver::change(Step step)
{
    const DeviceRecord before = m_link.record();
    step();
    const DeviceRecord &after = m_link.record();
    // Only what this edit changed is its outcome; the rest is whatever the adapter last sent.
    for (const Field &field : kUserFields) {
        for (std::size_t i = field.offset; i < field.offset + field.size; ++i) {
            if (before.bytes()[i] != after.bytes()[i]) {
                m_expected.bytes()[i] = after.bytes()[i];
                m_touched[i] = true;
            }
        }
    }
    m_made.insert(bytesKey(after));
    ++m_edits;
}

std::string EditDriver::editOnce()
{
    const auto choice = m_random() % 20;
    if (choice < 6)
        change([this] { storeContact(); });
    else if (choice < 8)
        change([this] { deleteContact(); });
    else if (choice < 13)
        change([this] { stepSetting(); });
    else if (choice < 15)
        change([this] { chooseLine(); });
    else
        change([this] {
            if (!callOrHangUp())
                storeContact();
        });
    return m_lastEdit;
}

void EditDriver::clickRow(QTableWidget *list, int row)
{
    list->scrollToItem(list->item(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row, 0)).center());
}

void EditDriver::storeContact()
{
    const int row = static_cast<int>(m_random() % kContactCount);
    clickRow(m_contacts, row);
    const QString name = QStringLiteral("Edit %1").arg(m_edits);
    const QString number = QStringLiteral("+49%1").arg(m_random() % 100000000u);
    m_name->setFocus();
    m_name->clear();
    QTest::keyClicks(m_name, name);
    m_number->clear();
    QTest::keyClicks(m_number, number);
    QTest::keyClick(m_number, Qt::Key_Return);
    m_lastEdit = "store " + name.toStdString() + " " + number.toStdString() + " at " + std::to_string(row);
}

void EditDriver::deleteContact()
{
    const int row = static_cast<int>(m_random() % kContactCount);
    clickRow(m_contacts, row);
    QTest::keyClick(m_contacts, Qt::Key_Delete);
    m_lastEdit = "delete contact " + std::to_string(row);
}

void EditDriver::stepSetting()
{
    QWidget *panel = m_window.findChild<QWidget *>(QStringLiteral("settingsPanel"));
    if (!panel->isVisible())
        m_window.findChild<QAction *>(QStringLiteral("settingsAction"))->trigger();
    SpinSelector *selector = m_settings[m_random() % 4];
    const bool up = m_random() % 2 == 0;
    selector->setFocus();
    QTest::keyClick(selector, up ? Qt::Key_Up : Qt::Key_Down);
    m_lastEdit = std::string("step ") + selector->objectName().toStdString() + (up ? " up" : " down");
}

void EditDriver::chooseLine()
{
    const int line = static_cast<int>(m_random() % kLineCount);
    QTest::mouseClick(m_lineLabels[line], Qt::LeftButton);
    m_lastEdit = "choose line " + std::to_string(line);
}

bool EditDriver::callOrHangUp()
{
    const int line = static_cast<int>(m_random() % kLineCount);
    // The window allows a call only on an idle line with a number, a hang-up only during a call.
    if (m_hangUpButtons[line]->isEnabled()) {
        QTest::mouseClick(m_hangUpButtons[line], Qt::LeftButton);
        m_inCall[line] = false;
        m_lastEdit = "hang up line " + std::to_string(line);
        return true;
    }
    if (m_callButtons[line]->isEnabled()) {
        QTest::mouseClick(m_callButtons[line], Qt::LeftButton);
        m_inCall[line] = true;
        m_lastEdit = "call on line " + std::to_string(line);
        return true;
    }
    return false;
}

bool EditDriver::holdsEveryEdit(const DeviceRecord &record) const
{
    for (std::size_t i = 0; i < kRecordSize; ++i)
        if (m_touched[i] && record.bytes()[i] != m_expected.bytes()[i])
            return false;
    for (int line = 0; line < kLineCount; ++line)
        if (m_inCall[line] && *m_inCall[line] != inCall(record, line))
            return false;
    return true;
}

bool EditDriver::pressAgainWhereIgnored(const DeviceRecord &record)
{
    bool pressed = false;
    for (int line = 0; line < kLineCount; ++line) {
        if (!m_inCall[line] || *m_inCall[line] == inCall(record, line))
            continue;
        GlyphButton *button = *m_inCall[line] ? m_callButtons[line] : m_hangUpButtons[line];
        // A press is an edit like the first one: it writes the party in the edits, the active
        // line's, into the pressed line's. A call needs a number there, which an edit made since
        // the lost press may have emptied (choosing an empty phone-book row to delete it): a user
        // gives one first.
        if (*m_inCall[line] && !button->isEnabled())
            change([this] { storeContact(); });
        if (button->isEnabled()) {
            change([button] { QTest::mouseClick(button, Qt::LeftButton); });
            pressed = true;
        }
    }
    return pressed;
}

std::string EditDriver::missingEdits(const DeviceRecord &record) const
{
    std::ostringstream out;
    for (const Field &field : kUserFields) {
        for (std::size_t i = field.offset; i < field.offset + field.size; ++i) {
            if (m_touched[i] && record.bytes()[i] != m_expected.bytes()[i]) {
                out << field.name << " byte " << (i - field.offset) << "; ";
                break;
            }
        }
    }
    for (int line = 0; line < kLineCount; ++line)
        if (m_inCall[line] && *m_inCall[line] != inCall(record, line))
            out << "line " << line << (*m_inCall[line] ? " not in call" : " still in call") << "; ";
    out << "last edit: " << m_lastEdit;
    return out.str();
}

bool EditDriver::madeByEdit(const DeviceRecord &record) const
{
    return m_made.count(bytesKey(record)) != 0;
}

} // namespace vestra7
