// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware update as the update window sees it: the user's buttons in, progress and outcome out.
#pragma once

#include <QByteArray>
#include <QObject>

#include <cstdint>

class FirmwareUpdatePort : public QObject
{
    Q_OBJECT

public:
    enum class Result { Success, Failure };

    using QObject::QObject;

    // The update window was shown or hidden: while it shows, an adapter in its firmware is asked to
    // restart into its boot loader.
    virtual void windowShown() = 0;
    virtual void windowHidden() = 0;
    // "Select file" was pressed: both buttons stay off until the selection has ended without a file,
    // or, after an accepted one, until the window is shown again or the transfer is lost.
    virtual void beginSelection() = 0;
    virtual void endSelection() = 0;
    // An accepted file, sent from `payloadOffset` on, header included in the figures of its progress.
    virtual void startTransfer(const QByteArray &file, std::uint64_t payloadOffset) = 0;
    // "Close": ends whatever runs and takes the adapter out of its boot loader.
    virtual void leave() = 0;
    // "Reset settings": the boot loader confirms it with settingsReset().
    virtual void resetSettings() = 0;
    // From the first chunk sent to the adapter's result: leaving now leaves it in its boot loader.
    virtual bool transferring() const = 0;

signals:
    // "Select file" and "Reset settings", which only the boot loader serves.
    void actionsEnabledChanged(bool enabled);
    // A chunk was acknowledged: `position` of `size` bytes of the whole file are through.
    void progressChanged(std::uint64_t position, std::uint64_t size);
    void progressCleared();
    // The outcome of a transfer, once: the adapter's result, or a failure when the adapter left in
    // the middle of it. A receiver may show it modally; the update goes on once it returns.
    void finished(FirmwareUpdatePort::Result result);
    void settingsReset();
    // The window is to close: the result has been shown.
    void closeRequested();
};
