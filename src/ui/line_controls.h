// SPDX-License-Identifier: GPL-3.0-or-later
// The line controls: each line's call and hang-up buttons and its label.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <array>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QWidget;

namespace vestra7 {

class AdapterPort;
class GlyphButton;

// A button calls or hangs up on its own line with the party the edits show; Ctrl and the line's
// digit press it, with Shift the hang-up one. A click on a line's label, or Alt and its digit, makes
// that line the active one. The labels tell a screen reader each line's state.
class LineControls final : public QObject
{
    Q_OBJECT

public:
    struct Widgets
    {
        // Indexed by line: A, then B.
        std::array<QLabel *, 2> labels;
        std::array<GlyphButton *, 2> callButtons;
        std::array<GlyphButton *, 2> hangUpButtons;
        // The party a button's press sends, and whose number the call buttons wait for.
        const QLineEdit *partyName;
        const QLineEdit *partyNumber;
    };

    // The keys act wherever the focus is in `window`.
    LineControls(const Widgets &widgets, AdapterPort &adapter, QWidget &window);

    // Enables each button as its line's state and the number edit allow, and describes the lines.
    void showRecord();
    // The tooltips and descriptions in the current language.
    void retranslate();
    // Each key with what it does, for the list of every shortcut.
    std::vector<std::pair<QKeySequence, QString>> shortcuts() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A call or hang-up button and the line it acts on.
    struct LineButton
    {
        GlyphButton *button;
        int line;
        bool calls; // a call button; otherwise the line's hang-up button
        // The button shows its faded glyph: a glyph is loaded only when this changes.
        bool showsFaded = false;
    };

    void connectKeys(QWidget &window);
    void showKeysInToolTips();
    // Each line's state, and which line is active, as the line labels' accessible descriptions.
    void showLineStates();
    QLabel *lineLabel(int line) const;
    void showButtonState(LineButton &lineButton, bool allowed);
    void onLineButtonPressed(const LineButton &lineButton);
    void onLineLabelClicked(int line);

    AdapterPort &m_adapter;
    std::array<QLabel *, 2> m_labels;
    std::array<LineButton, 4> m_lineButtons;
    const QLineEdit *m_partyName;
    const QLineEdit *m_partyNumber;
};

} // namespace vestra7
