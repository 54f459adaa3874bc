#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the README's screenshots into docs/screenshots from the demo's state, on Qt's offscreen
# platform: the main window, the settings panel, the disconnected window, the backups window, the
# question before a firmware transfer and a firmware update.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target vestra7-screenshots
mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen build/default/tools/screenshots/vestra7-screenshots docs/screenshots
