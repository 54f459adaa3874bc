// SPDX-License-Identifier: GPL-3.0-or-later
// Covering and uncovering a frame's controls.
#include "widgets/coverable_frame.h"

#include "widgets/widget_accessibility.h"

#include <utility>

namespace vestra7 {

CoverableFrame::CoverableFrame(QWidget *parent)
    : QFrame(parent)
{
    installWidgetAccessibility();
}

void CoverableFrame::setCovered(bool covered)
{
    if (covered == m_covered)
        return;
    m_covered = covered;
    if (covered) {
        for (QWidget *control : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (control->isHidden())
                continue;
            m_hidden.append(control);
            control->hide();
        }
    } else {
        for (const QPointer<QWidget> &control : std::as_const(m_hidden)) {
            if (control)
                control->show();
        }
        m_hidden.clear();
    }
}

} // namespace vestra7
