// SPDX-License-Identifier: GPL-3.0-or-later
// The boxes of "About", "About vestra7" and "Keyboard shortcuts".
#pragma once

#include <QKeySequence>
#include <QString>

#include <utility>
#include <vector>

class QWidget;

namespace vestra7 {

struct AdapterIdentity;

// The adapter's model, serial number and software version, then the program's version.
void showAdapterInformation(QWidget *owner, const AdapterIdentity &identity);
// The program's name, version, Qt version and licence.
void showAboutProgram(QWidget *owner);
// Each key with what it does, one per row, then the keys of the menu bar itself.
void showKeyboardShortcuts(QWidget *owner, const std::vector<std::pair<QKeySequence, QString>> &keys);

} // namespace vestra7
