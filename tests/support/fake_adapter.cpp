// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests' adapter, and how its changes read in failure messages.
#include "support/fake_adapter.h"

#include <sstream>
#include <type_traits>

namespace vestra7 {

void FakeAdapter::receive(const DeviceRecord &record)
{
    m_record = record;
    emit recordChanged();
}

void FakeAdapter::setPresentAdapters(std::vector<PresentAdapter> adapters)
{
    m_presentAdapters = std::move(adapters);
    emit presentAdaptersChanged();
}

namespace {

std::ostream &operator<<(std::ostream &out, const Party &party)
{
    return out << "{\"" << party.name.toStdString() << "\", \"" << party.number.toStdString() << "\"}";
}

} // namespace

std::string change::describe(const Change &value)
{
    std::ostringstream text;
    std::visit(
        [&text](const auto &c) {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, change::SetActiveLine>)
                text << "setActiveLine(" << c.line << ")";
            else if constexpr (std::is_same_v<C, change::SelectParty>)
                text << "selectParty(" << c.party << ")";
            else if constexpr (std::is_same_v<C, change::Call>)
                text << "call(" << c.line << ", " << c.party << ")";
            else if constexpr (std::is_same_v<C, change::HangUp>)
                text << "hangUp(" << c.line << ", " << c.party << ")";
            else if constexpr (std::is_same_v<C, change::StoreContact>)
                text << "storeContact(" << c.row << ", " << c.party << ")";
            else if constexpr (std::is_same_v<C, change::DeleteContact>)
                text << "deleteContact(" << c.row << ")";
            else if constexpr (std::is_same_v<C, change::DeleteCall>)
                text << "deleteCall(" << c.row << ")";
            else if constexpr (std::is_same_v<C, change::ImportContacts>) {
                text << "importContacts({";
                for (std::size_t i = 0; i < c.parties.size(); ++i)
                    text << (i ? ", " : "") << c.parties[i];
                text << "})";
            } else if constexpr (std::is_same_v<C, change::SetMicGain>)
                text << "setMicGain(" << c.step << ")";
            else if constexpr (std::is_same_v<C, change::SetLineGain>)
                text << "setLineGain(" << c.step << ")";
            else if constexpr (std::is_same_v<C, change::SetAutoAnswer>)
                text << "setAutoAnswer(" << c.line << ", " << c.seconds << ")";
            else if constexpr (std::is_same_v<C, change::ResetToDefaults>)
                text << "resetToDefaults()";
            else
                text << "loadConfiguration(" << c.bytes.size() << " bytes: " << c.bytes.toHex().toStdString() << ")";
        },
        value);
    return text.str();
}

bool change::operator==(const Change &a, const Change &b)
{
    return describe(a) == describe(b);
}

} // namespace vestra7
