// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the main window and the settings panel.
#include "main_window_fixture.h"

#include "sim/emulated_adapter.h"

#include <QAccessible>

#include <functional>
#include <set>

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

using AccessibilityTest = MainWindowTest;

TEST_F(AccessibilityTest, EveryControlAScreenReaderReachesHasAName)
{
    child<QWidget>("settingsPanel")->show();
    std::set<QString> named;   // the controls found, by object name
    int menuEntries = 0;
    const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        const QAccessible::Role role = node->role();
        if (isInteractive(role)) {
            const QString what = node->object() ? node->object()->objectName() : QString();
            EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << "role " << role << " " << what.toStdString();
            named.insert(what);
            menuEntries += role == QAccessible::MenuItem;
        }
        // A list's rows and cells are its content, not controls of the window.
        if (role == QAccessible::Table || role == QAccessible::List)
            return;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface *next = node->child(i))
                walk(next);
    };
    walk(QAccessible::queryAccessibleInterface(&window));

    for (const char *control : {"callButtonLineA", "hangUpButtonLineA", "callButtonLineB", "hangUpButtonLineB",
                                "partyNameEdit", "partyNumberEdit", "phoneBookList", "callList", "micGainSelector",
                                "lineGainSelector", "autoAnswerASelector", "autoAnswerBSelector", "okButton"})
        EXPECT_TRUE(named.count(QLatin1String(control))) << control << " was not reached as a control";
    EXPECT_EQ(menuEntries, 7 + 3 + 2 + 5); // the bar's, "File"'s, "Help"'s and "Tools"' (with "Adapter")
    // The labels that choose the line are named and say what a click on them does.
    for (const char *label : {"lineALabel", "lineBLabel"}) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(child<QWidget>(label));
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << label;
        EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty()) << label;
    }
}

TEST_F(AccessibilityTest, ADisabledCallButtonIsAnnouncedAsADisabledButton)
{
    DeviceRecord record = initialAdapterRecord();
    record.subscriber[0] = makeParty("Ann", ""); // no number to call
    receive(record);
    QAccessibleInterface *call = QAccessible::queryAccessibleInterface(child<QWidget>("callButtonLineA"));
    EXPECT_EQ(call->role(), QAccessible::Button);
    EXPECT_EQ(call->text(QAccessible::Name), "Call, line A");
    EXPECT_TRUE(call->state().disabled);
}

} // namespace
