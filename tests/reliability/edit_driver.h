// SPDX-License-Identifier: GPL-3.0-or-later
// Edits made the way a user makes them, through the main window's controls, with a record of what
// they must leave the adapter holding.
#pragma once

#include "model/device_record.h"

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace vestra7 {

class Adapter;
class GlyphButton;
class SpinSelector;
class MainWindow;

class EditDriver
{
public:
    EditDriver(MainWindow &window, Adapter &link, std::uint32_t seed);

    // One edit chosen at random among those the window allows at the moment: a phone-book entry
    // stored or deleted, a setting stepped, the active line chosen, a call placed or ended.
    // Returns what it did.
    std::string editOnce();
    int edits() const { return m_edits; }

    // Whether `record` holds the outcome of every edit so far: the fields the user owns as the
    // edits left them, and each line in or out of a call as last asked.
    bool holdsEveryEdit(const DeviceRecord &record) const;
    // The edits that `record` does not hold, for failure messages.
    std::string missingEdits(const DeviceRecord &record) const;
    // Whether the program's own record was ever left like this by an edit (before any reply).
    bool madeByEdit(const DeviceRecord &record) const;

private:
    template <class Step> void change(Step step);
    void storeContact();
    void deleteContact();
    void stepSetting();
    void chooseLine();
    bool callOrHangUp();

public:
    // A call or hang-up whose write was lost never reaches the adapter: repeats of an unanswered
    // write carry no request, so that one the adapter did take is never made twice. Presses the
    // button again where the adapter's line is not as last asked, as a user who sees it unchanged
    // does, storing a contact first where the call lacks a number; true when it pressed.
    bool pressAgainWhereIgnored(const DeviceRecord &record);

private:
    void clickRow(QTableWidget *list, int row);

    MainWindow &m_window;
    Adapter &m_link;
    std::mt19937 m_random;
    int m_edits = 0;
    std::string m_lastEdit;

    DeviceRecord m_expected{};
    std::vector<bool> m_touched;
    std::optional<bool> m_inCall[kLineCount];
    std::set<std::string> m_made;

    QLineEdit *m_name;
    QLineEdit *m_number;
    QTableWidget *m_contacts;
    QLabel *m_lineLabels[kLineCount];
    GlyphButton *m_callButtons[kLineCount];
    GlyphButton *m_hangUpButtons[kLineCount];
    SpinSelector *m_settings[4];
};

} // namespace vestra7
