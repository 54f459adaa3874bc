// The item lists of the settings selectors: the item index is the value stored in the device record.
#pragma once

#include <QStringList>

// 16 microphone gains 1.5 dB apart, each exactly 8 characters: "0 dB    ", "+1.5 dB ", ..., "+22.5 dB".
QStringList micGainItems();
// 100 line gains 1 dB apart: "0 dB", "+ 1 dB", ..., "+ 99 dB".
QStringList lineGainItems();
// 101 auto-answer delays: "OFF", "1 sec", ..., "100 sec".
QStringList autoAnswerItems();
