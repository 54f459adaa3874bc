// SPDX-License-Identifier: GPL-3.0-or-later
// What the exporter knows of each adapter it watches, as the metric families a scrape serves.
#pragma once

#include "model/ansi_codec.h"
#include "model/device_record.h"

#include <QString>

#include <prometheus/metric_family.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace vestra7 {

// One adapter at the moment its values were collected.
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

// What every scrape holds, adapters or none: the program's version, and how many adapters are
// plugged in, so that a host where none ever was can raise an alert too.
struct ExporterSample
{
    int adaptersPresent = 0;
    std::vector<AdapterSample> adapters;
};

// The metric families of the exporter and of every adapter; line values only for an adapter that is
// connected, so that a gone adapter leaves no stale values behind. A metric no adapter has a value
// of is left out.
std::vector<prometheus::MetricFamily> exporterMetrics(const ExporterSample &sample, AnsiCodec &codec);

} // namespace vestra7
