// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's controls, found by their names, for tests that drive it as a user would.
#pragma once

class CaptionedProgressBar;
class FirmwareUpdateDialog;
class QFileDialog;
class QLineEdit;
class QPushButton;

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
