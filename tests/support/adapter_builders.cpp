// SPDX-License-Identifier: GPL-3.0-or-later
// Emulated adapters for tests.
#include "support/adapter_builders.h"

namespace vestra7 {

std::shared_ptr<EmulatedAdapter> adapterWithSignal(const char *serial, std::int8_t levelA)
{
    auto adapter = std::make_shared<EmulatedAdapter>(EmulatedIdentity::withSerialNumber(QString::fromLatin1(serial)));
    adapter->setSignalLevel(0, levelA);
    return adapter;
}

} // namespace vestra7
