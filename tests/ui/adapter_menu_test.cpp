// SPDX-License-Identifier: GPL-3.0-or-later
// "Tools" > "Adapter": the adapters to choose from, the one in use, and the menu bar around them.
#include "main_window_fixture.h"

#include <QMenu>
#include <QMenuBar>

namespace {

const PresentAdapter kFirst{QStringLiteral("VESTRA7"), QStringLiteral("V7-0001"), QStringLiteral("1.2"), false, {}};
const PresentAdapter kSecond{QStringLiteral("VESTRA7 (boot)"), QStringLiteral("V7-0002"), QStringLiteral("0.1"), true, {}};

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

TEST_F(AdapterMenu, WithOneAdapterThereIsNothingToChoose)
{
    EXPECT_FALSE(adapterMenu()->menuAction()->isVisible()) << "no adapter yet";
    adapter.setPresentAdapters({kFirst});
    EXPECT_EQ(barEntries(), kBar);
    EXPECT_FALSE(adapterMenu()->menuAction()->isVisible());
}

TEST_F(AdapterMenu, WithTwoAdaptersToolsOffersEachBySerialWithTheOneInUseChecked)
{
    adapter.setIdentity({kFirst.product, kFirst.serial, kFirst.version});
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
    adapter.setIdentity({kSecond.product, kSecond.serial, kSecond.version});
    emit adapter.identityChanged(adapter.identity());
    EXPECT_TRUE(adapterMenu()->actions()[1]->isChecked());
    EXPECT_FALSE(adapterMenu()->actions()[0]->isChecked());

    adapter.setPresentAdapters({kSecond});
    EXPECT_FALSE(adapterMenu()->menuAction()->isVisible()) << "one left: nothing to choose";
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
    adapter.setPresentAdapters({{QStringLiteral("R&D"), QStringLiteral("S1"), {}, false, {}}, kFirst});
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
