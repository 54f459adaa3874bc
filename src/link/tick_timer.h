// SPDX-License-Identifier: GPL-3.0-or-later
// The clock of a firmware update: a repeating tick whose interval can be changed, and its Qt timer.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

namespace vestra7 {

// Tests put a timer of their own in, which ticks when they say.
class TickTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Ticks every `interval` from now on: the first tick comes `interval` from now, whatever was due.
    virtual void start(std::chrono::milliseconds interval) = 0;
    virtual std::chrono::milliseconds interval() const = 0;

signals:
    void ticked();
};

class PreciseTickTimer final : public TickTimer
{
    Q_OBJECT

public:
    explicit PreciseTickTimer(QObject *parent = nullptr);

    void start(std::chrono::milliseconds interval) override;
    std::chrono::milliseconds interval() const override;

private:
    QTimer m_timer;
};

} // namespace vestra7
