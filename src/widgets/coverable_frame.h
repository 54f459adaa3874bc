// SPDX-License-Identifier: GPL-3.0-or-later
// A frame whose controls another widget can lie over, out of reach while they are covered.
#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>

namespace vestra7 {

// While covered, the frame still paints itself, but its controls are hidden: they leave the focus
// chain, so Tab never walks into what cannot be seen, and a screen reader finds none of them under
// the frame. Uncovered, the controls it hid come back as they were.
class CoverableFrame final : public QFrame
{
    Q_OBJECT

public:
    explicit CoverableFrame(QWidget *parent = nullptr);

    bool isCovered() const { return m_covered; }
    void setCovered(bool covered);

private:
    bool m_covered = false;
    // The controls shown when the frame was covered, to be shown again.
    QList<QPointer<QWidget>> m_hidden;
};

} // namespace vestra7
