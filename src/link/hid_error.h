// SPDX-License-Identifier: GPL-3.0-or-later
// An error raised by the HID access layer while it talks to a device.
#pragma once

#include <stdexcept>
#include <string>

// Raised for failures that the user must hear about. A device that has simply gone is not an
// error: its writes report no bytes written instead.
class HidError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
