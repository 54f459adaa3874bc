// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the update window's controls.
#include "support/update_dialog_controls.h"

#include "ui/firmware_update_dialog.h"
#include "widgets/captioned_progress_bar.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

template <class T> T *find(const FirmwareUpdateDialog &dialog, const char *name = nullptr)
{
    T *found = name ? dialog.findChild<T *>(QLatin1String(name)) : dialog.findChild<T *>();
    if (found == nullptr)
        ADD_FAILURE() << "the update window has no " << (name ? name : "file dialog");
    return found;
}

} // namespace

UpdateDialogControls::UpdateDialogControls(const FirmwareUpdateDialog &dialog)
    : closeButton(find<QPushButton>(dialog, "closeButton"))
    , selectFileButton(find<QPushButton>(dialog, "selectFileButton"))
    , resetSettingsButton(find<QPushButton>(dialog, "resetSettingsButton"))
    , deviceNameEdit(find<QLineEdit>(dialog, "deviceNameEdit"))
    , serialNumberEdit(find<QLineEdit>(dialog, "serialNumberEdit"))
    , versionEdit(find<QLineEdit>(dialog, "versionEdit"))
    , progressBar(find<CaptionedProgressBar>(dialog, "progressBar"))
    , fileDialog(find<QFileDialog>(dialog))
{
}

} // namespace vestra7
