// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated adapter as the demo shows it: a lived-in phone book and call list, two operators,
// a caller now and then, and a firmware file its boot loader takes.
#pragma once

#include "model/device_record.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace vestra7 {

class EmulatedAdapter;

// Texts in the demo are in the Cyrillic code page, which also holds every Latin name.
inline constexpr char kDemoCodePage[] = "windows-1251";

// Line A idle, line B idle and the one callers ring; made-up names (some Cyrillic) and numbers.
DeviceRecord demoRecord();

// A firmware update file for the demo's boot loader ("VESTRA7 (boot)"): header text
// "MODEL=VESTRA7 &..." and a made-up payload of `payloadSize` bytes.
std::vector<std::uint8_t> demoUpdateFile(std::size_t payloadSize = 48 * 1024);

// A vCard file of made-up contacts to import: most fit the adapter as they are, one name is longer
// than its 16 bytes and one holds characters the demo's code page lacks, so the preview marks them.
QByteArray demoContactsFile();

// Moves each line's signal level a step now and then, as a hand moving the antenna would, and answers
// the balance request "*100#" with a text.
class DemoRadio final : public QObject
{
public:
    explicit DemoRadio(std::shared_ptr<EmulatedAdapter> adapter, QObject *parent = nullptr);

private:
    void drift();

    std::shared_ptr<EmulatedAdapter> m_adapter;
    QTimer m_drift;
    std::mt19937 m_random{1789};
};

// Rings line B from one of the phone book's parties every minute or so, and hangs up for a caller
// who is not answered within half a minute.
class DemoCallers final : public QObject
{
public:
    explicit DemoCallers(std::shared_ptr<EmulatedAdapter> adapter, QObject *parent = nullptr);

private:
    void ring();
    void scheduleNext();

    std::shared_ptr<EmulatedAdapter> m_adapter;
    QTimer m_next;
    QTimer m_giveUp;
    std::mt19937 m_random{2041};
};

} // namespace vestra7
