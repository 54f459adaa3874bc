// The main window's test fixture.
#include "main_window_fixture.h"

#include "link/commands.h"
#include "model/text_field.h"

#include <QTest>

#include <cstring>

void MainWindowTest::SetUp()
{
    window.setConfirmer([this](QWidget *parent, const QString &question) {
        EXPECT_EQ(parent, &window);
        questions << question;
        return confirmAnswer;
    });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.Cont(true);
}

void MainWindowTest::receive(const DeviceRecord &record)
{
    link.record = record;
    window.showRecord();
}

std::optional<DeviceRecord> MainWindowTest::takePosted()
{
    const std::optional<Request> taken = link.mailbox.takeRequest();
    if (!taken || taken->cmd != CMD_WRITE_RECORD)
        return std::nullopt;
    EXPECT_EQ(taken->len, kRecordSize);
    return recordOf({taken->data, taken->data + taken->len});
}

DeviceRecord recordOf(const std::vector<std::uint8_t> &bytes)
{
    DeviceRecord record{};
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), kRecordSize));
    return record;
}

QString textOf(std::span<const std::uint8_t> field)
{
    return readTextField(field);
}
