// SPDX-License-Identifier: GPL-3.0-or-later
// "Tools" > "Adapter": the adapters to choose from, the one in use, and the menu bar around them.
#include "main_window_fixture.h"

#include <QMenu>
#include <QMenuBar>

namespace vestra7 {

namespace {

const PresentAdapter kFirst{QStringLiteral("VESTRA7"), QStringLiteral("V7-0001"), QStringLiteral("1.2"), false, {},
                            QStringLiteral("1-1"),     QStringLiteral("V7-0001")};
const PresentAdapter kSecond{
    QStringLiteral("VESTRA7 (boot)"), QStringLiteral("V7-0002"), QStringLiteral("0.1"), true, {}, QStringLiteral("1-2"),
    QStringLiteral("V7-0002")};

class AdapterMenu : public MainWindowTest
{
protected:
    QStringList barEntries()
    {
        QStringList titles;
        for (const QAction *entry : child<QMenuBar>("mainMenu")->actions())
            if (entry->isVisible())
                titles << entry->text();
        return titles;
    }

    QMenu *adapterMenu() { return child<QMenu>("adapterMenu"); }
};

const QStringList kBar = {"&File", "&Update firmware", "&Settings", "Set to &default", "&About", "&Help", "&Tools"};

} // namespace

TEST_F(AdapterMenu, WithOneAdapterItIsListedAsTheOneInUse)
{
    EXPECT_FALSE(adapterMenu()->menuAction()->isVisible()) << "no adapter yet";
    adapter.setIdentity({kFirst.product, kFirst.serial, kFirst.version, kFirst.key});
    adapter.setPresentAdapters({kFirst});
    EXPECT_EQ(barEntries(), kBar);
    EXPECT_TRUE(adapterMenu()->menuAction()->isVisible()) << "the window shows which adapter is in use";
    const QList<QAction *> choices = adapterMenu()->actions();
    ASSERT_EQ(choices.size(), 1);
    EXPECT_EQ(choices[0]->text(), "VESTRA7 V7-0001");
    EXPECT_TRUE(choices[0]->isChecked());
}

TEST_F(AdapterMenu, WithTwoAdaptersToolsOffersEachBySerialWithTheOneInUseChecked)
{
    adapter.setIdentity({kFirst.product, kFirst.serial, kFirst.version, kFirst.key});
    adapter.setPresentAdapters({kFirst, kSecond});
    EXPECT_EQ(barEntries(), kBar);
    EXPECT_TRUE(adapterMenu()->menuAction()->isVisible());

    const QList<QAction *> choices = adapterMenu()->actions();
    ASSERT_EQ(choices.size(), 2);
    EXPECT_EQ(choices[0]->text(), "VESTRA7 V7-0001");
    EXPECT_EQ(choices[1]->text(), "VESTRA7 (boot) V7-0002");
    EXPECT_TRUE(choices[0]->isChecked());
    EXPECT_FALSE(choices[1]->isChecked());

    choices[1]->trigger();
    EXPECT_EQ(adapter.takeChoices(), QStringList{kSecond.serial});

    // The adapter now in use is announced; the check follows it.
    adapter.setIdentity({kSecond.product, kSecond.serial, kSecond.version, kSecond.key});
    emit adapter.identityChanged(adapter.identity());
    EXPECT_TRUE(adapterMenu()->actions()[1]->isChecked());
    EXPECT_FALSE(adapterMenu()->actions()[0]->isChecked());

    adapter.setPresentAdapters({kSecond});
    ASSERT_EQ(adapterMenu()->actions().size(), 1) << "one left";
    EXPECT_TRUE(adapterMenu()->actions()[0]->isChecked());
}

TEST_F(AdapterMenu, ToolsWaitsForTheConnectionAsTheOtherEntriesDo)
{
    emit adapter.connectionChanged(false);
    adapter.setPresentAdapters({kFirst, kSecond});
    QAction *tools = child<QMenu>("toolsMenu")->menuAction();
    EXPECT_FALSE(tools->isEnabled());
    emit adapter.connectionChanged(true);
    EXPECT_TRUE(tools->isEnabled());
}

TEST_F(AdapterMenu, AnAmpersandInAProductNameIsShownNotTakenForAMnemonic)
{
    adapter.setPresentAdapters(
        {{QStringLiteral("R&D"), QStringLiteral("S1"), {}, false, {}, {}, QStringLiteral("S1")}, kFirst});
    EXPECT_EQ(adapterMenu()->actions()[0]->text(), "R&&D S1");
}

TEST_F(AdapterMenu, HelpAndToolsStayOnTheMenuBar)
{
    adapter.setPresentAdapters({kFirst, kSecond});
    auto *bar = child<QMenuBar>("mainMenu");
    for (QAction *entry : {child<QMenu>("helpMenu")->menuAction(), child<QMenu>("toolsMenu")->menuAction()}) {
        const QRect place = bar->actionGeometry(entry);
        EXPECT_FALSE(place.isEmpty()) << entry->text().toStdString();
        EXPECT_TRUE(bar->rect().contains(place)) << entry->text().toStdString();
    }
}

TEST_F(AdapterMenu, AdaptersThatShareASerialNumberAreToldApartByTheirPortAndChosenByKey)
{
    PresentAdapter left = kFirst;
    left.serial = QStringLiteral("DUP");
    left.key = QStringLiteral("DUP@1-1");
    PresentAdapter right = left;
    right.port = QStringLiteral("1-2");
    right.key = QStringLiteral("DUP@1-2");
    adapter.setIdentity({right.product, right.serial, right.version, right.key});
    adapter.setPresentAdapters({left, right});

    const QList<QAction *> choices = adapterMenu()->actions();
    ASSERT_EQ(choices.size(), 2);
    EXPECT_EQ(choices[0]->text(), "VESTRA7 DUP (USB port 1-1)");
    EXPECT_EQ(choices[1]->text(), "VESTRA7 DUP (USB port 1-2)");
    EXPECT_FALSE(choices[0]->isChecked()) << "the serial number alone does not say which one is in use";
    EXPECT_TRUE(choices[1]->isChecked());
    choices[0]->trigger();
    EXPECT_EQ(adapter.takeChoices(), QStringList{left.key});
}

} // namespace vestra7
