// The window tests' adapter, and how its changes read in failure messages.
#include "fake_adapter.h"

#include <type_traits>

bool operator==(const Party &a, const Party &b)
{
    return a.name == b.name && a.number == b.number;
}

void FakeAdapter::receive(const DeviceRecord &record)
{
    m_record = record;
    emit recordChanged();
}

namespace {

std::ostream &operator<<(std::ostream &out, const Party &party)
{
    return out << "{\"" << party.name.toStdString() << "\", \"" << party.number.toStdString() << "\"}";
}

} // namespace

void change::PrintTo(const Change &value, std::ostream *out)
{
    std::visit(
        [out](const auto &c) {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, change::SetActiveLine>)
                *out << "setActiveLine(" << c.line << ")";
            else if constexpr (std::is_same_v<C, change::SelectParty>)
                *out << "selectParty(" << c.party << ")";
            else if constexpr (std::is_same_v<C, change::Call>)
                *out << "call(" << c.line << ", " << c.party << ")";
            else if constexpr (std::is_same_v<C, change::HangUp>)
                *out << "hangUp(" << c.line << ", " << c.party << ")";
            else if constexpr (std::is_same_v<C, change::StoreContact>)
                *out << "storeContact(" << c.row << ", " << c.party << ")";
            else if constexpr (std::is_same_v<C, change::DeleteContact>)
                *out << "deleteContact(" << c.row << ")";
            else if constexpr (std::is_same_v<C, change::DeleteCall>)
                *out << "deleteCall(" << c.row << ")";
            else if constexpr (std::is_same_v<C, change::SetMicGain>)
                *out << "setMicGain(" << c.step << ")";
            else if constexpr (std::is_same_v<C, change::SetLineGain>)
                *out << "setLineGain(" << c.step << ")";
            else if constexpr (std::is_same_v<C, change::SetAutoAnswer>)
                *out << "setAutoAnswer(" << c.line << ", " << c.seconds << ")";
            else if constexpr (std::is_same_v<C, change::ResetToDefaults>)
                *out << "resetToDefaults()";
            else
                *out << "loadConfiguration(" << c.bytes.size() << " bytes: " << c.bytes.toHex().toStdString() << ")";
        },
        value);
}
