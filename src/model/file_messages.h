// SPDX-License-Identifier: GPL-3.0-or-later
// The sentences that say a file could not be opened, read or created, worded once for every kind of file.
#pragma once

#include "model/result.h"

#include <QString>

namespace vestra7 {

// Each names the file as the system shows it and adds the reason, itself a sentence.
Error cannotOpenFile(const QString &fileName, const QString &reason);
Error cannotReadFile(const QString &fileName, const QString &reason);
Error cannotCreateFile(const QString &fileName, const QString &reason);

} // namespace vestra7
