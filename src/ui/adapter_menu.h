// SPDX-License-Identifier: GPL-3.0-or-later
// The menu of the adapters plugged in, to choose the one in use.
#pragma once

#include <QObject>

class QActionGroup;
class QMenu;

namespace vestra7 {

class AdapterPort;

// Lists every adapter present, the one in use checked; choosing another one uses that one instead.
// Listed also when there is only one, so that it shows which adapter is in use.
class AdapterMenu final : public QObject
{
    Q_OBJECT

public:
    // Adds the menu at the end of `parentMenu`, after a separator.
    AdapterMenu(QMenu &parentMenu, AdapterPort &adapter);

private:
    void showChoices();

    AdapterPort &m_adapter;
    QMenu *m_menu;
    QActionGroup *m_choices;
};

} // namespace vestra7
