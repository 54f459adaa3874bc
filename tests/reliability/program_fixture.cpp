// SPDX-License-Identifier: GPL-3.0-or-later
// The program over the emulated bus, and the report log a failed run leaves behind.
#include "program_fixture.h"

#include "link_faults.h"

#include "link/tracing_backend.h"

#include <QCoreApplication>
#include <QDir>

namespace vestra7 {

ProgramOnEmulatedBus::ProgramOnEmulatedBus()
{
    adapter->setUsbTiming(true);
}

void ProgramOnEmulatedBus::TearDown()
{
    EXPECT_EQ(ledger->closedDuringCall(), 0) << "a handle was closed while a call on it was under way";
    ProgramTest::TearDown();
    // The program is gone: nothing writes to the log any more.
    m_trace.reset();
    if (m_tracePath.isEmpty())
        return;
    if (HasFailure()) {
        ADD_FAILURE() << "failed with VESTRA7_FAULT_SEED=" << faultSeed() << "; its reports are in "
                      << m_tracePath.toStdString();
    } else {
        QFile::remove(m_tracePath);
    }
}

Adapter::BackendFactory ProgramOnEmulatedBus::backend()
{
    if (traceReports && !m_trace)
        openTrace();
    return [this]() -> std::unique_ptr<HidBackend> {
        std::unique_ptr<HidBackend> emulated = std::make_unique<EmulatedBackend>(bus);
        if (m_trace)
            emulated = std::make_unique<TracingBackend>(std::move(emulated), m_trace);
        return std::make_unique<TrackingBackend>(std::move(emulated), ledger);
    };
}

void ProgramOnEmulatedBus::openTrace()
{
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    const QString traces = QDir::current().filePath(QStringLiteral("report-traces"));
    QDir().mkpath(traces);
    // Named for the run, so that a later run, passing, does not take a failed one's log away.
    m_tracePath = QStringLiteral("%1/%2.%3.seed%4.%5.log")
                      .arg(traces, test->test_suite_name(), test->name())
                      .arg(faultSeed())
                      .arg(QCoreApplication::applicationPid());
    Result<std::unique_ptr<ReportTrace>> trace = ReportTrace::open(m_tracePath);
    EXPECT_TRUE(trace) << "no report trace at " << m_tracePath.toStdString();
    if (trace)
        m_trace = std::move(*trace);
}

} // namespace vestra7
