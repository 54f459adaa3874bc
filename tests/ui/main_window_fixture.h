// SPDX-License-Identifier: GPL-3.0-or-later
// A main window over a fake adapter, connected and shown, for driving its controls.
#pragma once

#include "support/fake_adapter.h"
#include "ui/main_window.h"

#include "support/box_answerer.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vestra7 {

class MainWindowTest : public testing::Test
{
protected:
    void SetUp() override;

    // The adapter's record arrives and is shown.
    void receive(const DeviceRecord &record) { adapter.receive(record); }

    template <class T> T *child(const char *name)
    {
        T *found = window.findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    FakeAdapter adapter;
    MainWindow window{adapter};
    QStringList questions;     // what the window asked, in order
    bool confirmAnswer = true; // the answer it gets
};

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

} // namespace vestra7
