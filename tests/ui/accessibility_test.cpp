// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the main window and the settings panel, and what it learns of the lines.
#include "main_window_fixture.h"

#include "support/record_builders.h"
#include "ui/firmware_update_dialog.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>

#include <functional>
#include <set>
#include <utility>

namespace vestra7 {

namespace {

bool isInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::EditableText:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::CheckBox:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

class AccessibilityTest : public MainWindowTest
{
protected:
    // The controls a screen reader reaches from the window, by object name; each must have a name.
    std::set<QString> reachedControls(int *menuEntries = nullptr)
    {
        std::set<QString> reached;
        const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
            const QAccessible::Role role = node->role();
            if (isInteractive(role)) {
                const QString what = node->object() ? node->object()->objectName() : QString();
                EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << "role " << role << " " << what.toStdString();
                reached.insert(what);
                if (menuEntries)
                    *menuEntries += role == QAccessible::MenuItem;
            }
            // A list's rows and cells are its content, not controls of the window.
            if (role == QAccessible::Table || role == QAccessible::List)
                return;
            for (int i = 0; i < node->childCount(); ++i)
                if (QAccessibleInterface *next = node->child(i))
                    walk(next);
        };
        walk(QAccessible::queryAccessibleInterface(&window));
        return reached;
    }

    DeviceRecord record = readyRecord();
};

const char *const kLineControls[] = {"callButtonLineA", "hangUpButtonLineA", "callButtonLineB", "hangUpButtonLineB",
                                     "partyNameEdit",   "partyNumberEdit",   "phoneBookList",   "callList"};
const char *const kSettings[] = {"micGainSelector", "lineGainSelector", "autoAnswerASelector", "autoAnswerBSelector",
                                 "okButton"};

TEST_F(AccessibilityTest, EveryControlAScreenReaderReachesHasANameAndWhatThePanelCoversIsNotReached)
{
    int menuEntries = 0;
    std::set<QString> reached = reachedControls(&menuEntries);
    for (const char *control : kLineControls)
        EXPECT_TRUE(reached.count(QLatin1String(control))) << control << " was not reached as a control";
    // The bar's, "File"'s, "Help"'s, "Tools"' (with "Adapter" and "Text encoding") and the code pages.
    EXPECT_EQ(menuEntries, 7 + 3 + 2 + 6 + 14);
    for (const char *label : {"lineALabel", "lineBLabel"})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(child<QWidget>(label))->text(QAccessible::Name).isEmpty())
            << label;

    // The open settings panel covers the line controls: a screen reader finds the panel's alone.
    child<QAction>("settingsAction")->trigger();
    reached = reachedControls();
    for (const char *control : kSettings)
        EXPECT_TRUE(reached.count(QLatin1String(control))) << control << " was not reached as a control";
    for (const char *control : kLineControls)
        EXPECT_FALSE(reached.count(QLatin1String(control))) << control << " is reached under the panel";

    child<QAction>("settingsAction")->trigger();
    reached = reachedControls();
    for (const char *control : kLineControls)
        EXPECT_TRUE(reached.count(QLatin1String(control))) << control << " is not reached once the panel is closed";
}

// The labels look alike whichever line is active and the buttons show the state only in colour: the
// labels' descriptions say both in words.
TEST_F(AccessibilityTest, TheLineLabelsTellEachLinesStateAndWhichLineIsActive)
{
    const struct
    {
        std::uint8_t stateA;
        std::uint8_t stateB;
        std::uint8_t activeLine;
        const char *lineA;
        const char *lineB;
    } cases[] = {
        {1, 2, 0, "ready, operator Operator A, signal -63; the active line",
         "busy, operator none, signal -128; a click or Alt+2 makes it the active line"},
        {0, 4, 1, "ready, operator Operator A, signal -63; a click or Alt+1 makes it the active line",
         "in a call, operator none, signal -128; the active line"},
        {3, 255, 2, "in a call, operator Operator A, signal -63; a click or Alt+1 makes it the active line",
         "in a call, operator none, signal -128; a click or Alt+2 makes it the active line"},
    };
    std::memset(record.ops[1], 0, sizeof record.ops[1]); // a line registered with no operator
    record.rssi[1] = -128;
    for (const auto &[stateA, stateB, activeLine, lineA, lineB] : cases) {
        record.stat[0] = stateA;
        record.stat[1] = stateB;
        record.act_line = activeLine;
        receive(record);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(child<QWidget>("lineALabel"))->text(QAccessible::Description),
                  lineA);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(child<QWidget>("lineBLabel"))->text(QAccessible::Description),
                  lineB);
        // Everyone else reads the same in the tooltip.
        EXPECT_EQ(child<QWidget>("lineALabel")->toolTip(), "Line A: " + QString::fromUtf8(lineA).section(';', 0, 0));
    }
}

TEST_F(AccessibilityTest, ADisabledCallButtonIsAnnouncedAsADisabledButton)
{
    record.subscriber[0] = makeParty("Ann", ""); // no number to call
    receive(record);
    QAccessibleInterface *call = QAccessible::queryAccessibleInterface(child<QWidget>("callButtonLineA"));
    EXPECT_EQ(call->role(), QAccessible::Button);
    EXPECT_EQ(call->text(QAccessible::Name), "Call, line A");
    EXPECT_TRUE(call->state().disabled);
}

TEST(UpdateWindowAccessibility, TheDeviceSerialAndVersionFieldsAreNamedAsTheirLabelsRead)
{
    FakeAdapter adapter;
    FirmwareUpdateDialog dialog(adapter);
    const std::pair<const char *, const char *> fields[] = {
        {"deviceNameEdit", "Device"}, {"serialNumberEdit", "Serial"}, {"versionEdit", "Version"}};
    for (const auto &[field, name] : fields) {
        auto *edit = dialog.findChild<QLineEdit *>(QLatin1String(field));
        ASSERT_TRUE(edit) << field;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name), name) << field;
    }
}

} // namespace

} // namespace vestra7
