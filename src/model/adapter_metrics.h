// SPDX-License-Identifier: GPL-3.0-or-later
// What the exporter knows of each adapter it watches, written in the text format monitoring systems
// scrape.
#pragma once

#include "model/ansi_codec.h"
#include "model/device_record.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace vestra7 {

// One adapter at the moment of a scrape.
struct AdapterSample
{
    QString key; // names the adapter in every series
    QString product;
    QString serial;
    QString version;
    bool present = false;               // plugged in, as the last search saw it
    bool connected = false;             // opened by the exporter and running its firmware
    bool heldByOtherProgram = false;    // plugged in, but another program holds it for now
    std::optional<DeviceRecord> record; // the last record it sent; none before the first
    double recordAgeSeconds = 0;        // how old that record is
    std::uint64_t polls = 0;
    std::uint64_t lostReplies = 0;
    std::uint64_t failedWrites = 0;
};

// The metrics of every adapter, grouped by metric as the format asks; line values only for an
// adapter that is connected, so that a gone adapter leaves no stale values behind.
QByteArray renderMetrics(const std::vector<AdapterSample> &adapters, AnsiCodec &codec);

// The content type of renderMetrics()'s text.
inline constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

} // namespace vestra7
