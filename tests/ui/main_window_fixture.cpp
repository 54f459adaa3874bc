// The main window's test fixture and the message-box answerer.
#include "main_window_fixture.h"

#include "link/commands.h"
#include "model/text_field.h"

#include <QApplication>
#include <QPushButton>
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
    window.Refresh();
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

BoxAnswerer::BoxAnswerer(QString answer)
    : m_answer(std::move(answer))
{
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_poll.stop();
        ShownBox shown{box->windowTitle(),           box->text(), box->icon(), {}, {}, box->parentWidget(),
                       box->frameGeometry().center()};
        QAbstractButton *choice = nullptr;
        for (QAbstractButton *button : box->buttons()) {
            shown.buttons << button->text().remove(QLatin1Char('&'));
            if (shown.buttons.back() == m_answer)
                choice = button;
        }
        if (box->defaultButton())
            shown.defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
        seen = shown;
        if (choice)
            choice->click();
        else
            box->reject();
    });
    m_poll.start(10);
}
