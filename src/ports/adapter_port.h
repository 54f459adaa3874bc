// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter as the windows see it: its state, the changes they ask for, and what it announces.
#pragma once

#include "model/device_record.h"
#include "model/party_text.h"
#include "model/store_identity.h"
#include "ports/firmware_update_port.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace vestra7 {

// What the adapter says of itself, read again each time it is found.
struct AdapterIdentity
{
    QString product; // carries "(boot)" while the adapter runs its boot loader
    QString serial;
    QString version;  // "major.minor"
    QString key = {}; // as PresentAdapter's, taken when it was claimed
    // The USB port where the serial number alone does not tell this adapter apart; empty otherwise.
    QString sharedSerialPort = {};

    // What the things kept of this adapter (its backups) are filed under.
    StoreIdentity storeIdentity() const { return {serial, sharedSerialPort}; }
};

// One adapter on the bus, as a scan lists it, without opening it.
struct PresentAdapter
{
    QString product;
    QString serial;
    QString version; // "major.minor"
    bool bootLoader = false;
    // Why this program could not open it, when it tried and failed; the system's words.
    QString accessError;
    QString port = {}; // the USB port path ("1-1.2"), empty where the system names none
    // What names this adapter everywhere (the choice of adapter, file names, settings, locks): its
    // serial number, followed by "@" and its port where another adapter shares the serial number
    // or it has none.
    QString key = {};

    bool operator==(const PresentAdapter &) const = default;
};

// Every change writes the adapter's whole record, at once and as one message; what the windows
// show afterwards is the adapter's reply, announced by recordChanged(). Everything runs on the GUI
// thread.
class AdapterPort : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts looking for the adapter and, once it is there, polling it. Once, when the main window is
    // first shown.
    virtual void start() = 0;
    // Stops sending anything; when the program closes.
    virtual void stop() = 0;
    // Looks for the adapter again among the present devices, as a device change does.
    virtual void searchAgain() = 0;
    // Every adapter plugged in, in the order they were found, whether this program can open it or not.
    virtual std::vector<PresentAdapter> presentAdapters() const = 0;
    // From now on the adapter with this key is the one used, for as long as it stays plugged in (a
    // restart during a firmware update does not count as leaving); then the first adapter found is
    // used again. An empty key, or one no present adapter has, goes back to the first one.
    virtual void chooseAdapter(const QString &key) = 0;
    // The firmware update, which the update window drives.
    virtual FirmwareUpdatePort &firmwareUpdate() = 0;

    // The last record the adapter sent, with the changes made since.
    virtual const DeviceRecord &record() const = 0;
    virtual AdapterIdentity identity() const = 0;

    // Line control and the books.
    virtual void setActiveLine(int line) = 0;
    // The active line's party becomes this one (a row picked in either list).
    virtual void selectParty(const Party &party) = 0;
    // A call (or the end of one) on the line, with the party as its party; an empty name or number
    // keeps the line's own.
    virtual void call(int line, const Party &party) = 0;
    virtual void hangUp(int line, const Party &party) = 0;
    virtual void storeContact(int row, const Party &party) = 0;
    // The entries behind the row move up, as they are, and the last one empties.
    virtual void deleteContact(int row) = 0;
    virtual void deleteCall(int row) = 0;
    // Parties read from a phone-book file replace the phone book: they fill its first entries in
    // order, the entries after them are emptied, and any beyond its 32 entries are not stored.
    virtual void importContacts(const std::vector<Party> &parties) = 0;

    // Settings, each alone, so that the others are sent exactly as the adapter holds them.
    virtual void setMicGain(int step) = 0;
    virtual void setLineGain(int step) = 0;
    virtual void setAutoAnswer(int line, int seconds) = 0;
    // "Set to default": the whole record reset.
    virtual void resetToDefaults() = 0;
    // A configuration file's bytes over the record's first ones; a shorter file leaves the rest.
    virtual void loadConfiguration(const QByteArray &bytes) = 0;

signals:
    // A record or a text has come from the adapter: the windows show the record again. Coalesced:
    // several arrivals before the windows got to it give one signal.
    void recordChanged();
    // False for each device a search looks at, true once the adapter runs its normal firmware and is
    // claimed; so the windows pass through "disconnected" at every search.
    void connectionChanged(bool connected);
    // The adapters plugged in changed, or became known with the first search.
    void presentAdaptersChanged();
    // The adapter was found (again): its name is the program's title from then on.
    void identityChanged(const AdapterIdentity &identity);
    // The adapter is present but this user may not open it; `reason` is the system's.
    void accessProblem(const QString &reason);
    // A message could not be written; `text` is the system's words for it.
    void sendFailed(const QString &text);
    // The adapter to be used is held by another program: `holder` names it ("adapter in use by
    // process 1234 (vestra7 backup x.cfg)"). It is taken as soon as it is free; an empty text says it
    // no longer waits.
    void inUseChanged(const QString &holder);
    // The adapter in use (`key`) restarted as this program asked, and did not come back in time: the
    // first one found is used from now on.
    void adapterNotBack(const QString &key);
};

} // namespace vestra7
