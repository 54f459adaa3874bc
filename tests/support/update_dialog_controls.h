// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's controls, found by their names, for tests that drive it as a user would.
#pragma once

class QFileDialog;
class QLineEdit;
class QPushButton;

namespace vestra7 {

class CaptionedProgressBar;
class FirmwareUpdateDialog;

struct UpdateDialogControls
{
    // A control that is missing fails the test that asked for it.
    explicit UpdateDialogControls(const FirmwareUpdateDialog &dialog);

    QPushButton *closeButton;
    QPushButton *selectFileButton;
    QPushButton *resetSettingsButton;
    QLineEdit *deviceNameEdit;
    QLineEdit *serialNumberEdit;
    QLineEdit *versionEdit;
    CaptionedProgressBar *progressBar;
    QFileDialog *fileDialog;
};

} // namespace vestra7
