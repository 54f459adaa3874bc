// SPDX-License-Identifier: GPL-3.0-or-later
// Emulated adapters for tests.
#include "support/adapter_builders.h"

#include "support/record_builders.h"

#include <algorithm>

namespace vestra7 {

std::shared_ptr<EmulatedAdapter> adapterWithSignal(const char *serial, std::int8_t levelA)
{
    auto adapter = std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QString::fromLatin1(serial)));
    adapter->setSignalLevel(0, levelA);
    return adapter;
}

std::shared_ptr<EmulatedAdapter> adapterOwnedBy(const char *serial, const char *owner, bool bootLoaderSerial)
{
    EmulatedIdentity identity = EmulatedIdentity::withSerialNumber(QString::fromLatin1(serial));
    identity.bootLoaderSerial = bootLoaderSerial;
    auto adapter = std::make_shared<EmulatedAdapter>(identity);
    DeviceRecord record = initialAdapterRecord();
    record.contact[0] = makeParty(owner, "+100");
    adapter->setRecord(record);
    return adapter;
}

bool received(const EmulatedAdapter &adapter, std::uint8_t cmd)
{
    const AdapterState state = adapter.state();
    return std::any_of(state.received.begin(), state.received.end(),
                       [cmd](const ReceivedMessage &message) { return message.cmd == cmd; });
}

} // namespace vestra7
