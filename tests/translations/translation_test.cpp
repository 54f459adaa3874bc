// SPDX-License-Identifier: GPL-3.0-or-later
// The program in Russian as the start installs it, and back in English once the translation goes;
// English, Qt's texts included, for a language the program has no translation of.
#include "app/command_line.h"
#include "app/program_translations.h"
#include "support/fake_adapter.h"
#include "ui/main_window.h"
#include "widgets/spin_selector.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace vestra7 {

// Readable texts in failure messages.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// Installing and removing a translation posts the windows a language change.
void deliverLanguageChange()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

// Qt's own text of a standard button, as its message boxes show it.
QString qtCancelText()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

class TranslationTest : public testing::Test
{
protected:
    void SetUp() override { showRecord(); }

    // A record whose MIC gain is 5, "+7.5 dB " in English.
    void showRecord()
    {
        DeviceRecord record{};
        record.mic_gain = 5;
        adapter.receive(record);
    }

    template <class T> T *child(const char *name)
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The captions of the main window's menu, labels and lists, and of its settings panel.
    QStringList captions()
    {
        return {child<QMenu>("fileMenu")->title(),
                child<QAction>("updateFirmwareAction")->text(),
                child<QAction>("setToDefaultAction")->text(),
                child<QAction>("saveToFileAction")->text(),
                child<QLabel>("lineALabel")->text(),
                child<QLabel>("phoneBookCaption")->text(),
                child<QTableWidget>("callList")->horizontalHeaderItem(1)->text(),
                child<QWidget>("callButtonLineA")->toolTip(),
                child<QLabel>("micGainLabel")->text(),
                child<QLabel>("autoAnswerBLabel")->text(),
                child<QPushButton>("okButton")->accessibleDescription(),
                child<SpinSelector>("micGainSelector")->text(),
                child<SpinSelector>("autoAnswerASelector")->text()};
    }

    FakeAdapter adapter;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(adapter);
};

const QStringList kEnglish = {"&File",
                              "&Update firmware",
                              "Set to &default",
                              "&Save to file",
                              "Line A",
                              "Contact list",
                              "Number",
                              "Call, line A (Ctrl+1)",
                              "MIC gain",
                              "Auto answer B",
                              "Closes the settings panel",
                              "+7.5 dB ",
                              "OFF"};
const QStringList kRussianCaptions = {"&Файл",
                                      "&Прошивка",
                                      "По &умолчанию",
                                      "&Сохранить в файл",
                                      "Линия A",
                                      "Список контактов",
                                      "Номер",
                                      "Вызов, линия A (Ctrl+1)",
                                      "Усиление микрофона",
                                      "Автоответ B",
                                      "Закрывает панель настроек",
                                      "+7,5 дБ ",
                                      "ВЫКЛ"};

TEST_F(TranslationTest, RussianTranslatesTheOpenWindowAndItsGoingBringsEnglishBack)
{
    adapter.setIdentity({"VESTRA7-2L", "V7-0001", "1.2"});
    emit adapter.identityChanged(adapter.identity());
    ASSERT_EQ(captions(), kEnglish);

    auto translations = std::make_unique<ProgramTranslations>(kRussian);
    deliverLanguageChange();
    EXPECT_EQ(captions(), kRussianCaptions);
    // The settings keep their values in their new texts, and nothing is asked of the adapter.
    EXPECT_EQ(child<SpinSelector>("micGainSelector")->value(), 5);
    EXPECT_EQ(adapter.takeChanges(), Changes{});
    // The title carries the adapter's name in any language.
    EXPECT_EQ(window->windowTitle(), "VESTRA7-2L");

    translations.reset();
    deliverLanguageChange();
    EXPECT_EQ(captions(), kEnglish);
    EXPECT_EQ(window->windowTitle(), "VESTRA7-2L");
    EXPECT_EQ(adapter.takeChanges(), Changes{});
}

TEST_F(TranslationTest, WindowsMadeUnderTheTranslationStartInRussianWithQtsOwnTexts)
{
    const ProgramTranslations translations(kRussian);
    window = std::make_unique<MainWindow>(adapter);
    showRecord();
    EXPECT_EQ(captions(), kRussianCaptions);
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm")))
        GTEST_SKIP() << "Qt's own Russian translation is not installed (qt6-translations-l10n)";
    EXPECT_EQ(qtCancelText(), "Отмена");
}

TEST_F(TranslationTest, TheCommandLineAnswersInTheTranslationsLanguage)
{
    const ProgramTranslations translations(kRussian);
    const QString help = parseCommandLine({QStringLiteral("vestra7"), QStringLiteral("--help")}).text;
    EXPECT_TRUE(help.contains(QStringLiteral("--trace <файл>"))) << help.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("Записывать действия программы"))) << help.toStdString();
}

TEST_F(TranslationTest, LanguagesWithoutATranslationStayEnglishQtsTextsIncluded)
{
    for (const QLocale &locale :
         {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        const ProgramTranslations translations(locale);
        deliverLanguageChange();
        EXPECT_EQ(captions(), kEnglish);
        EXPECT_EQ(qtCancelText(), "Cancel");
    }
}

TEST_F(TranslationTest, EveryMenuBarEntryIsWhollyInSightAtTheWindowsWidthInEveryShippedLanguage)
{
    QStringList languages{QString()}; // English, the program's own texts
    for (const QString &file : QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("vestra7_*.qm")}))
        languages << file.sliced(8).chopped(3);
    ASSERT_GT(languages.size(), 1) << "no translation is built in";
    for (const QString &language : languages) {
        SCOPED_TRACE(language.isEmpty() ? std::string("English") : language.toStdString());
        const auto translations =
            language.isEmpty() ? nullptr : std::make_unique<ProgramTranslations>(QLocale(language));
        window = std::make_unique<MainWindow>(adapter);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        auto *bar = child<QMenuBar>("mainMenu");
        for (QAction *entry : bar->actions()) {
            if (!entry->isVisible())
                continue;
            const QRect place = bar->actionGeometry(entry);
            EXPECT_TRUE(!place.isEmpty() && bar->rect().contains(place))
                << entry->text().toStdString() << " lies at " << place.x() << ".." << place.right() << " of "
                << bar->width();
        }
        // Entries that do not fit go into an overflow button at the bar's end.
        const auto *overflow = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        EXPECT_TRUE(!overflow || overflow->isHidden()) << "the menu bar overflows";
    }
}

} // namespace

} // namespace vestra7
