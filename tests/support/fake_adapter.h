// SPDX-License-Identifier: GPL-3.0-or-later
// An adapter for window tests: it holds the record a test gives it and keeps each change the window
// asks for as a value, without applying it.
#pragma once

#include "link/adapter_port.h"

#include <ostream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

// The changes of AdapterPort, one value type each.
namespace change {
struct SetActiveLine
{
    int line;
};
struct SelectParty
{
    Party party;
};
struct Call
{
    int line;
    Party party;
};
struct HangUp
{
    int line;
    Party party;
};
struct StoreContact
{
    int row;
    Party party;
};
struct DeleteContact
{
    int row;
};
struct DeleteCall
{
    int row;
};
struct ImportContacts
{
    std::vector<Party> parties;
};
struct SetMicGain
{
    int step;
};
struct SetLineGain
{
    int step;
};
struct SetAutoAnswer
{
    int line;
    int seconds;
};
struct ResetToDefaults
{
};
struct LoadConfiguration
{
    QByteArray bytes;
};
struct ChooseAdapter
{
    QString serial;
};
} // namespace change

using Change =
    std::variant<change::SetActiveLine, change::SelectParty, change::Call, change::HangUp, change::StoreContact,
                 change::DeleteContact, change::DeleteCall, change::ImportContacts, change::SetMicGain,
                 change::SetLineGain, change::SetAutoAnswer, change::ResetToDefaults, change::LoadConfiguration,
                 change::ChooseAdapter>;
using Changes = std::vector<Change>;

namespace change {
// The change as a call, with every argument in full: "call(1, {"Carol", "+380501234567"})".
std::string describe(const Change &value);
// Two changes are equal when they read the same, so a failure message shows all that differs.
bool operator==(const Change &a, const Change &b);
// GoogleTest prints a variant's alternative on its own, finding this through its namespace.
template <class Alternative>
requires std::is_convertible_v<const Alternative &, Change>
void PrintTo(const Alternative &value, std::ostream *out)
{
    *out << describe(value);
}
} // namespace change

// A firmware update that does nothing: the window tests here do not reach it.
class IdleFirmwareUpdate final : public FirmwareUpdatePort
{
public:
    void windowShown() override {}
    void windowHidden() override {}
    void beginSelection() override {}
    void endSelection() override {}
    void startTransfer(const QByteArray &, std::uint64_t) override {}
    void leave() override {}
    void resetSettings() override {}
    bool transferring() const override { return false; }
};

class FakeAdapter final : public AdapterPort
{
public:
    FakeAdapter() = default;
    // One whose firmware update is the given one.
    explicit FakeAdapter(FirmwareUpdatePort &update)
        : m_updateInUse(&update)
    {
    }

    // The record and identity the adapter reports from now on; receive() also announces the record,
    // as the adapter's reply does.
    void setRecord(const DeviceRecord &record) { m_record = record; }
    void receive(const DeviceRecord &record);
    void setIdentity(const AdapterIdentity &identity) { m_identity = identity; }
    // The adapters on the bus from now on, announced as a search announces them.
    void setPresentAdapters(std::vector<PresentAdapter> adapters);

    // The changes asked for since the last call, in order.
    Changes takeChanges() { return std::exchange(m_changes, {}); }
    int starts() const { return m_starts; }
    int stops() const { return m_stops; }

    void start() override { ++m_starts; }
    void stop() override { ++m_stops; }
    void searchAgain() override {}
    std::vector<PresentAdapter> presentAdapters() const override { return m_presentAdapters; }
    void chooseAdapter(const QString &serial) override { m_changes.emplace_back(change::ChooseAdapter{serial}); }
    FirmwareUpdatePort &firmwareUpdate() override { return *m_updateInUse; }
    const DeviceRecord &record() const override { return m_record; }
    AdapterIdentity identity() const override { return m_identity; }

    void setActiveLine(int line) override { m_changes.emplace_back(change::SetActiveLine{line}); }
    void selectParty(const Party &party) override { m_changes.emplace_back(change::SelectParty{party}); }
    void call(int line, const Party &party) override { m_changes.emplace_back(change::Call{line, party}); }
    void hangUp(int line, const Party &party) override { m_changes.emplace_back(change::HangUp{line, party}); }
    void storeContact(int row, const Party &party) override
    {
        m_changes.emplace_back(change::StoreContact{row, party});
    }
    void deleteContact(int row) override { m_changes.emplace_back(change::DeleteContact{row}); }
    void deleteCall(int row) override { m_changes.emplace_back(change::DeleteCall{row}); }
    void importContacts(const std::vector<Party> &parties) override
    {
        m_changes.emplace_back(change::ImportContacts{parties});
    }
    void setMicGain(int step) override { m_changes.emplace_back(change::SetMicGain{step}); }
    void setLineGain(int step) override { m_changes.emplace_back(change::SetLineGain{step}); }
    void setAutoAnswer(int line, int seconds) override { m_changes.emplace_back(change::SetAutoAnswer{line, seconds}); }
    void resetToDefaults() override { m_changes.emplace_back(change::ResetToDefaults{}); }
    void loadConfiguration(const QByteArray &bytes) override
    {
        m_changes.emplace_back(change::LoadConfiguration{bytes});
    }

private:
    DeviceRecord m_record{};
    AdapterIdentity m_identity;
    std::vector<PresentAdapter> m_presentAdapters;
    Changes m_changes;
    IdleFirmwareUpdate m_update;
    FirmwareUpdatePort *m_updateInUse = &m_update;
    int m_starts = 0;
    int m_stops = 0;
};
