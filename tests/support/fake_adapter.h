// SPDX-License-Identifier: GPL-3.0-or-later
// An adapter for window tests: it holds the record a test gives it and keeps each change the window
// asks for as a value, without applying it, and each choice of adapter.
#pragma once

#include "model/record_change.h"
#include "ports/adapter_port.h"

#include <QStringList>

#include <ostream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace vestra7 {

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
    void enterBootLoader() override {}
    void transfer(FirmwareImage) override {}
    void leaveBootLoader() override {}
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
    // The serials chosen since the last call, in order; a choice of adapter is no record change.
    QStringList takeChoices() { return std::exchange(m_choices, {}); }
    int starts() const { return m_starts; }
    int stops() const { return m_stops; }

    void start() override { ++m_starts; }
    void stop() override { ++m_stops; }
    void searchAgain() override {}
    std::vector<PresentAdapter> presentAdapters() const override { return m_presentAdapters; }
    void chooseAdapter(const QString &serial) override { m_choices.append(serial); }
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
    QStringList m_choices;
    IdleFirmwareUpdate m_update;
    FirmwareUpdatePort *m_updateInUse = &m_update;
    int m_starts = 0;
    int m_stops = 0;
};

} // namespace vestra7
