// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter: watches adapters without a window and serves their state to a monitoring system
// over HTTP, following them as they are plugged in and out.
#pragma once

#include "app/exporter_options.h"
#include "app/metrics_server.h"
#include "app/shared_hid_backend.h"
#include "link/adapter.h"
#include "model/ansi_codec.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace vestra7 {

// Holds each adapter it watches only until someone else asks for it: its lock says that it hands
// the adapter over (see AdapterLock), and while the window or a command has the adapter the
// exporter reports it held by another program, taking it back once it is free again.
class Exporter final : public QObject
{
    Q_OBJECT

public:
    struct Watch
    {
        QString serial;   // only this adapter, by its key or serial number; empty: as `all` says
        bool all = false; // every adapter; otherwise the first one found, and only it
    };

    Exporter(Adapter::BackendFactory makeBackend, Watch watch, const QByteArray &codePage = {},
             QObject *parent = nullptr);
    ~Exporter() override;

    // Starts listening at "ADDRESS:PORT" and watching; the port bound, or why none could be.
    Result<quint16> start(const QString &address, const MetricsServer::Limits &limits = {});
    // What a scrape gets once the values are collected now.
    QByteArray metrics();

    // The adapter the exporter watches under this key, while it holds one; for tests.
    Adapter *adapter(const QString &key) const;

signals:
    // The set of adapters plugged in, or the state of one, changed.
    void adaptersChanged();

private:
    struct Watched;

    void onDevicesChanged();
    void watch(const QString &key);
    bool wanted(const SharedHidBackend::KeyedAdapter &adapter) const;
    void onRetry();
    void onHandOverAsked(Watched &watched);
    void takeOrWait(Watched &watched);
    void letGo(Watched &watched);
    void claim(Watched &watched);
    void forgetBootLoadersOfReturnedAdapters(const std::vector<SharedHidBackend::KeyedAdapter> &present);
    void collect();

    SharedHidBackend m_backend; // each Adapter's backend is a view of it, so it goes after them
    Watch m_watch;
    QByteArray m_codePage; // goes after the codec that was made by its name
    AnsiCodec m_codec;
    std::unique_ptr<MetricsServer> m_server;         // its threads read only what was published to it
    std::vector<std::unique_ptr<Watched>> m_watched; // in the order first seen
    QTimer m_retry;                                  // tries again the locks of adapters not held
    int m_adaptersPresent = 0;                       // watched or not, as the last search saw them
    // The values a scrape gets are collected here, on the thread that owns the adapters, at every
    // change and at this pace, so that the records' ages and the counters move between changes.
    QTimer m_collectTimer;
};

// Runs the command 'exporter' until a termination signal; returns the process's exit code.
int runExporter(const ToolCommand &command, Adapter::BackendFactory makeBackend);

} // namespace vestra7
