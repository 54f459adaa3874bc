// SPDX-License-Identifier: GPL-3.0-or-later
// The tracing backend changes nothing of what the backend under it says: every call of the HID
// interface goes through, device changes included, and the reports are logged on their way.
#include "link/frame.h"
#include "link/report_trace.h"
#include "link/tracing_backend.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace vestra7 {

namespace {

// A platform with one device, one pending removal and a lock folder, each distinct from the
// interface's defaults.
class PlatformStub final : public HidBackend
{
public:
    class Connection final : public HidConnection
    {
    public:
        HidIoResult write(std::span<const std::uint8_t> report) override { return report.size(); }
        HidIoResult read(std::span<std::uint8_t> buffer, int) override
        {
            buffer[0] = 0;
            buffer[1] = kTrailerMarker;
            return std::size_t{2};
        }
    };

    std::vector<HidDeviceInfo> scan() override { return {{"node-7", "TARNIX", "VESTRA7", "V7-7", 0x0102, 65, 65}}; }
    Result<std::unique_ptr<HidConnection>> open(const QString &instance) override
    {
        if (instance != QLatin1String("node-7"))
            return Error{QStringLiteral("no such node")};
        return std::unique_ptr<HidConnection>(std::make_unique<Connection>());
    }
    void watchChanges(std::function<void()> onChange) override { onChange(); }
    std::vector<HidDeviceEvent> takeEvents() override { return {{HidDeviceEvent::Kind::Removed, "node-7"}}; }
    QString lockScope() const override { return QStringLiteral("stub"); }
};

TEST(TracingBackend, EveryCallGoesThroughUnchanged)
{
    QTemporaryDir folder;
    Result<std::unique_ptr<ReportTrace>> trace = ReportTrace::open(folder.filePath(QStringLiteral("trace.log")));
    ASSERT_TRUE(trace);
    TracingBackend traced(std::make_unique<PlatformStub>(), std::shared_ptr<ReportTrace>(std::move(*trace)));

    const struct
    {
        const char *call;
        std::function<bool()> passesThrough;
    } calls[] = {
        {"scan",
         [&] {
             return traced.scan().size() == 1 && traced.scan()[0].serialNumber == "V7-7";
         }},
        {"open",
         [&] {
             return traced.open("node-7") && !traced.open("node-8");
         }},
        {"watchChanges",
         [&] {
             bool told = false;
             traced.watchChanges([&told] { told = true; });
             return told;
         }},
        {"takeEvents",
         [&] {
             const std::vector<HidDeviceEvent> events = traced.takeEvents();
             return events.size() == 1 && events[0].kind == HidDeviceEvent::Kind::Removed &&
                    events[0].instance == "node-7";
         }},
        {"lockScope",
         [&] {
             return traced.lockScope() == "stub";
         }},
    };
    for (const auto &[call, passesThrough] : calls)
        EXPECT_TRUE(passesThrough()) << call;
}

TEST(TracingBackend, ReportsBothWaysAreLoggedAndHandedOn)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("trace.log"));
    Result<std::unique_ptr<ReportTrace>> trace = ReportTrace::open(path);
    ASSERT_TRUE(trace);
    TracingBackend traced(std::make_unique<PlatformStub>(), std::shared_ptr<ReportTrace>(std::move(*trace)));
    Result<std::unique_ptr<HidConnection>> connection = traced.open("node-7");
    ASSERT_TRUE(connection);

    const Report poll = makeReport(makeTrailerFrame({0, 0xFFFF, 0}));
    EXPECT_EQ((*connection)->write(poll).value(), poll.size());
    Report reply{};
    EXPECT_EQ((*connection)->read(reply, 100).value(), 2u);
    EXPECT_EQ(reply[1], kTrailerMarker);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and what follows the last end of line
    EXPECT_TRUE(lines[0].endsWith("out 00 fb 00 00 ff ff +59 zero")) << lines[0].constData();
    EXPECT_TRUE(lines[1].endsWith("in  00 fb")) << lines[1].constData();
}

} // namespace

} // namespace vestra7
