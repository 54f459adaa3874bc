// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book parties as vCards: written as version 3.0, read from 2.1, 3.0 and 4.0.
#pragma once

#include "model/party_text.h"

#include <QByteArray>
#include <QString>

#include <span>

namespace vestra7 {

// One card per party with FN from the name, an empty N and TEL from the number (none when it is empty),
// UTF-8, CRLF line ends, lines folded at 75 octets.
QByteArray writeVCards(std::span<const Party> parties);

// The cards of an already decoded text, each handed to `take` in file order. The name is FN, or N's parts where FN is
// missing or empty; the number is the first TEL of type CELL, or else the first TEL. Cards with
// neither are left out. Folded lines, quoted-printable values and "tel:" URIs are understood. Time
// and memory grow in proportion to the text.
void readVCards(QStringView text, const PartySink &take);

} // namespace vestra7
