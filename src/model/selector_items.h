// SPDX-License-Identifier: GPL-3.0-or-later
// The item lists of the settings selectors and the text each stored setting value is shown as, in
// the current language; the English items are quoted below.
#pragma once

#include <QString>
#include <QStringList>

namespace vestra7 {

// 16 microphone gains 1.5 dB apart, each exactly 8 characters: "0 dB    ", "+1.5 dB ", ..., "+22.5 dB".
QStringList micGainItems();
// 100 line gains 1 dB apart: "0 dB", "+ 1 dB", ..., "+ 99 dB".
QStringList lineGainItems();
// 101 auto-answer delays: "OFF", "1 sec", ..., "100 sec".
QStringList autoAnswerItems();

// The item a selector shows for a stored value, clamped as the selector clamps it. The gains are
// signed bytes and the delays unsigned ones, so the callers pass them as the record holds them.
QString micGainText(int value);
QString lineGainText(int value);
QString autoAnswerText(int value);

} // namespace vestra7
