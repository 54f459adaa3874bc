// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard: the line keys press their buttons and choose the active line, the menu's shortcuts and
// mnemonics, and the settings panel's focus and Esc.
#include "main_window_fixture.h"

#include "support/record_builders.h"
#include "widgets/glyph_button.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <set>

namespace vestra7 {

namespace {

class KeyboardTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        // The file dialogs are cancelled, the boxes answered, so that no key leaves a modal loop open.
        for (FileDialog *dialog : {&window.saveFileDialog(), &window.openFileDialog()})
            dialog->setChooser([](QWidget *, const FileDialog::Offer &) { return std::optional<QString>(); });
    }

    DeviceRecord record = readyRecord();
};

TEST_F(KeyboardTest, LineKeysDoWhatAPressOfTheirButtonDoesAndOnlyWhileItIsEnabled)
{
    const struct
    {
        QKeyCombination key;
        const char *button;
        std::uint8_t lineState; // makes the button usable
    } cases[] = {
        {Qt::CTRL | Qt::Key_1, "callButtonLineA", 0},
        {Qt::CTRL | Qt::Key_2, "callButtonLineB", 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_1, "hangUpButtonLineA", 3},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_2, "hangUpButtonLineB", 4},
    };
    record.subscriber[0] = makeParty("Ann", "+3805");
    for (const auto &[key, name, lineState] : cases) {
        auto *button = child<GlyphButton>(name);
        const int line = QByteArray(name).endsWith('A') ? 0 : 1;
        record.stat[line] = lineState;
        receive(record);
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
        const Changes clicked = adapter.takeChanges();
        ASSERT_EQ(clicked.size(), 1u) << name;
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        EXPECT_EQ(adapter.takeChanges(), clicked) << name;
        EXPECT_TRUE(button->toolTip().contains(QKeySequence(key).toString(QKeySequence::NativeText))) << name;

        record.stat[line] = 2; // neither calls nor hangs up
        receive(record);
        ASSERT_FALSE(button->isEnabled()) << name;
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        EXPECT_EQ(adapter.takeChanges(), Changes{}) << name;
    }
}

TEST_F(KeyboardTest, AltAndALinesDigitMakeItTheActiveLineAsAClickOnItsLabelDoesAndOnlyWhileItCan)
{
    QTest::keyClick(&window, Qt::Key_2, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(adapter.takeChanges(), (Changes{change::SetActiveLine{1}, change::SetActiveLine{0}}));
    emit adapter.connectionChanged(false);
    QTest::keyClick(&window, Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(KeyboardTest, TheSettingsPanelTakesTheFocusAndTabStaysOutOfWhatItCoversUntilItCloses)
{
    auto *panel = child<QWidget>("settingsPanel");
    auto *name = child<QWidget>("partyNameEdit");
    name->setFocus();
    child<QAction>("settingsAction")->trigger();
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("micGainSelector"));
    std::set<QString> reached;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        ASSERT_TRUE(focused);
        EXPECT_TRUE(panel->isAncestorOf(focused)) << focused->objectName().toStdString() << " under the panel";
        reached.insert(focused->objectName());
    }
    EXPECT_EQ(reached, (std::set<QString>{"okButton", "micGainSelector", "lineGainSelector", "autoAnswerASelector",
                                          "autoAnswerBSelector"}));

    // Closed, the panel gives the focus back, and Tab walks the line controls again.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), name);
    QTest::keyClick(name, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("partyNumberEdit"));
}

TEST_F(KeyboardTest, MenuShortcutsTriggerTheirEntriesOnlyWhileTheEntriesAreUsable)
{
    const struct
    {
        QKeyCombination key;
        const char *action;
    } cases[] = {
        {Qt::CTRL | Qt::Key_S, "saveToFileAction"},
        {Qt::CTRL | Qt::Key_O, "loadFromFileAction"},
        {QKeyCombination(Qt::Key_F1), "aboutAction"},
        {Qt::CTRL | Qt::Key_Q, "closeAction"}, // last: it closes the window
    };
    for (const auto &[key, name] : cases) {
        QSignalSpy triggered(child<QAction>(name), &QAction::triggered);
        const BoxAnswerer answer;
        // A box closed by the answerer leaves no window active on the offscreen platform.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        emit adapter.connectionChanged(false);
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        EXPECT_EQ(triggered.count(), 0) << name;
        emit adapter.connectionChanged(true);
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        EXPECT_EQ(triggered.count(), 1) << name;
    }
    EXPECT_FALSE(window.isVisible());
}

TEST_F(KeyboardTest, AltWithTheUnderlinedLetterAndF10OpenAMenuThatCanBeUsed)
{
    const auto opens = [this](QKeyCombination key) {
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        QWidget *opened = QApplication::activePopupWidget();
        if (opened)
            opened->close();
        return opened;
    };
    auto *file = child<QMenu>("fileMenu");
    auto *help = child<QMenu>("helpMenu");
    EXPECT_EQ(opens(Qt::ALT | Qt::Key_F), file);
    EXPECT_EQ(opens(Qt::ALT | Qt::Key_H), help);
    EXPECT_EQ(opens(QKeyCombination(Qt::Key_F10)), file);

    emit adapter.connectionChanged(false);
    EXPECT_EQ(opens(Qt::ALT | Qt::Key_F), nullptr);
    EXPECT_EQ(opens(QKeyCombination(Qt::Key_F10)), help);
}

TEST_F(KeyboardTest, EscClosesTheSettingsPanelAsItsOkDoes)
{
    auto *panel = child<QWidget>("settingsPanel");
    QTest::keyClick(&window, Qt::Key_Escape); // hidden: nothing to close
    EXPECT_TRUE(panel->isHidden());

    panel->show();
    child<QWidget>("lineGainSelector")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

} // namespace

} // namespace vestra7
