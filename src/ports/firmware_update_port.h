// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware update in the adapter's own verbs: into its boot loader, a transfer, out again, and
// what every client (the update window, the command line) observes meanwhile.
#pragma once

#include "model/firmware_image.h"

#include <QObject>

#include <cstdint>

namespace vestra7 {

class FirmwareUpdatePort : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Success,
        Failure,     // the adapter reported the transfer failed
        AdapterLost, // the adapter left in the middle of the transfer
    };

    using QObject::QObject;

    // Holds the adapter for the update: one running its firmware is asked to restart into its boot
    // loader, again and again until it has, and the polling of its record waits until the update ends.
    virtual void enterBootLoader() = 0;
    // Sends the image from its position on, chunk by chunk, each acknowledged; the header before that
    // position counts in the progress.
    virtual void transfer(FirmwareImage image) = 0;
    // Ends whatever runs and takes the adapter out of its boot loader.
    virtual void leaveBootLoader() = 0;
    // The boot loader confirms it with settingsReset().
    virtual void resetSettings() = 0;
    // From the first chunk sent to the adapter's result: leaving now leaves it in its boot loader.
    virtual bool transferring() const = 0;

signals:
    // A boot loader was found, able to take a file or a reset, or an adapter in its firmware was.
    void bootLoaderReadyChanged(bool ready);
    // A chunk was acknowledged: `position` of `size` bytes of the whole file are through.
    void progressChanged(std::uint64_t position, std::uint64_t size);
    void progressCleared();
    // The outcome of a transfer, once. A receiver may show it modally; the update goes on once it
    // returns.
    void finished(FirmwareUpdatePort::Outcome outcome);
    void settingsReset();
    // After a result, the update has let the adapter go without a word to it: it restarts by itself.
    void ended();
};

} // namespace vestra7
