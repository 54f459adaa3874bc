// SPDX-License-Identifier: GPL-3.0-or-later
// Importing any bytes as vCards, and what is kept written out and imported again.
#include "phone_book_round_trip.h"

#include "model/vcard_format.h"

using namespace vestra7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkPhoneBookRoundTrip(data, size, PhoneBookFormat::VCard, writeVCards);
    return 0;
}
