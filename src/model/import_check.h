// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a phone-book file's contacts may be stored without a person looking at them first.
#pragma once

#include "model/party_text.h"

#include <QString>

#include <span>
#include <vector>

namespace vestra7 {

class AnsiCodec;

// What stands against storing the contacts as they are, for a command that shows no preview.
struct ImportCheck
{
    bool empty = false; // no contacts: storing them would only empty the phone book
    // Contacts, numbered from 1, that read as no contact: a name with control characters or bytes
    // that could not be decoded, or a number with anything but dial characters. A file of random
    // bytes gives many of them.
    std::vector<int> unreadable;
    // Each character, once and in order, that the code page cannot hold, so that it would be stored as "?".
    QString unencodable;
};

// Looks at the contacts that will be stored: the first ones, as many as the phone book holds.
ImportCheck checkImport(std::span<const Party> parties, AnsiCodec &codec);

} // namespace vestra7
