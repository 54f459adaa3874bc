// SPDX-License-Identifier: GPL-3.0-or-later
// Text colours for the labels on the panels' fixed light backgrounds.
#include "ui/panel_text.h"

#include <QWidget>

namespace vestra7 {

void setDarkPanelText(QWidget *label)
{
    QPalette palette = label->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, Qt::black);
    // Still set apart from the enabled text, and still legible on the light panels.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(110, 110, 110));
    label->setPalette(palette);
}

} // namespace vestra7
