// SPDX-License-Identifier: GPL-3.0-or-later
// `vestra7 exporter` in a process of its own over virtual hidraw nodes, and GET on the loopback address.
#pragma once

#include <QProcess>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>

namespace vestra7 {

// The body of a GET, or nothing when it failed or took longer than five seconds.
QByteArray httpGet(const QUrl &url);

// The exporter as its service runs it: in the C locale, on the nodes of a testbed, here at a free port
// of the loopback address. Ended on destruction.
class ExporterProcess
{
public:
    ExporterProcess() = default;
    ~ExporterProcess();

    ExporterProcess(const ExporterProcess &) = delete;
    ExporterProcess &operator=(const ExporterProcess &) = delete;

    // Starts it with these arguments besides "--listen", and waits until it says where it serves.
    testing::AssertionResult start(const QString &umockdevDir, const QStringList &arguments,
                                   std::chrono::milliseconds wait);
    quint16 port() const { return m_port; }
    // What a scrape gets.
    QByteArray metrics() const;
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace vestra7
