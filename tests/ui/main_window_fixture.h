// A main window over a link without an adapter, connected and shown, for driving its controls.
#pragma once

#include "link/device_link.h"
#include "ui/main_window.h"

#include "support/box_answerer.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

class MainWindowTest : public testing::Test
{
protected:
    void SetUp() override;

    // Loads the record and runs Refresh, as a received record does.
    void receive(const DeviceRecord &record);
    // The record write posted since the last call, taken out of the slot; nothing when none was.
    std::optional<DeviceRecord> takePosted();

    template <class T> T *child(const char *name)
    {
        T *found = window.findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    DeviceLink link{nullptr};
    MainWindow window{link};
    QStringList questions;     // what the window asked, in order
    bool confirmAnswer = true; // the answer it gets
};

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

DeviceRecord recordOf(const std::vector<std::uint8_t> &bytes);
QString textOf(std::span<const std::uint8_t> field);
