// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's modal message boxes: confirmations, errors and information.
#pragma once

#include <QString>
#include <Qt>

#include <functional>

class QWidget;

namespace vestra7 {

// Asks `question` with "OK" and "Cancel"; true only for "OK". Tests put their own in its place.
using Confirmer = std::function<bool(QWidget *parent, const QString &question)>;

// The system's own confirmation: titled "Confirm", question icon, "OK" the default button.
bool confirmBox(QWidget *parent, const QString &question);
// The same with "Cancel" the default button, for a question whose "OK" replaces what the adapter holds.
bool cautiousConfirmBox(QWidget *parent, const QString &question);
// Asks through `answerer` where there is one, else with the system's own box; `cancelFirst` gives the
// box "Cancel" for its default button. Every window asks its questions through here.
bool confirmThrough(const Confirmer &answerer, QWidget *parent, const QString &question, bool cancelFirst = false);
// Every box shows its text as it is, whatever it looks like, unless it is told it is markup of the
// program's own.
// A failure: the error icon and "OK".
void errorBox(QWidget *parent, const QString &title, const QString &text);
// A problem to mend: the warning icon and "OK".
void warningBox(QWidget *parent, const QString &title, const QString &text);
// A notice: the information icon and "OK".
void informationBox(QWidget *parent, const QString &title, const QString &text, Qt::TextFormat format = Qt::PlainText);

} // namespace vestra7
