// SPDX-License-Identifier: GPL-3.0-or-later
// Which adapter the things the program keeps of one (its backups, its call records) belong to.
#pragma once

#include <QString>

#include <vector>

namespace vestra7 {

// Where an adapter sits on the bus, as a scan lists it.
struct AdapterAddress
{
    QString serial;
    QString port; // the USB port path, "1-1.2"
};

// Whether `name` fails to tell its owner apart among `names`: it is empty or more than one has it.
bool isSharedOrEmpty(const std::vector<QString> &names, const QString &name);

// What is stored of an adapter is filed under its serial number alone where no other adapter
// present shares it, so that it follows the adapter into any port; where the serial number is empty
// or shared, under the serial number and the USB port, so that twins never mix. Files kept under a
// serial number alone stay the adapter's whose serial that is, or of any of the twins with it.
struct StoreIdentity
{
    // An identity by serial number alone, as for an adapter whose serial number is its own.
    StoreIdentity(QString serialNumber = {}, QString usbPort = {})
        : serial(std::move(serialNumber))
        , port(std::move(usbPort))
    {
    }

    QString serial;
    QString port; // empty where the serial number alone names the adapter

    bool byPort() const { return !port.isEmpty(); }
    bool operator==(const StoreIdentity &) const = default;
};

// One identity per adapter, in the order given.
std::vector<StoreIdentity> storeIdentities(const std::vector<AdapterAddress> &adapters);

} // namespace vestra7
