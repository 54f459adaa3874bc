// SPDX-License-Identifier: GPL-3.0-or-later
// The line controls: the call and hang-up buttons, the line labels that choose the active line and
// tell a screen reader each line's state, and the keys for both.
#include "ui/line_controls.h"

#include "model/ansi_codec.h"
#include "model/line_health.h"
#include "model/line_state.h"
#include "ports/adapter_port.h"
#include "ui/logging.h"
#include "ui/plain_text.h"
#include "widgets/glyph_button.h"
#include "widgets/glyph_pictures.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcut>

namespace vestra7 {

namespace {

constexpr int kLineA = 0;
constexpr int kLineB = 1;

const char *lineName(int line)
{
    return line == kLineA ? "A" : "B";
}

// Ctrl and the line's digit calls on that line, with Shift as well it hangs up. Neither the edits nor
// the lists use Ctrl with a digit.
QKeySequence lineButtonKey(int line, bool calls)
{
    const Qt::KeyboardModifiers modifiers = calls ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(Qt::Key_1 + line)));
}

// Alt and the line's digit, beside Ctrl and the digit that calls on it. Menu mnemonics are letters.
QKeySequence activeLineKey(int line)
{
    return QKeySequence(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(Qt::Key_1 + line)));
}

} // namespace

LineControls::LineControls(const Widgets &widgets, AdapterPort &adapter, QWidget &window)
    : m_adapter(adapter)
    , m_labels(widgets.labels)
    , m_lineButtons{{{widgets.callButtons[kLineA], kLineA, true},
                     {widgets.hangUpButtons[kLineA], kLineA, false},
                     {widgets.callButtons[kLineB], kLineB, true},
                     {widgets.hangUpButtons[kLineB], kLineB, false}}}
    , m_partyName(widgets.partyName)
    , m_partyNumber(widgets.partyNumber)
{
    for (const LineButton &lineButton : m_lineButtons) {
        lineButton.button->setGlyph(glyphPicture(lineButton.calls ? QStringLiteral("ON") : QStringLiteral("OFF")));
        connect(lineButton.button, &GlyphButton::pressed, this,
                [this, &lineButton] { onLineButtonPressed(lineButton); });
    }
    for (QLabel *label : m_labels)
        label->installEventFilter(this);
    connectKeys(window);
    showLineStates();
}

void LineControls::connectKeys(QWidget &window)
{
    for (const LineButton &lineButton : m_lineButtons) {
        // The key presses the button as the mouse does, so it does nothing while the button is disabled.
        connect(new QShortcut(lineButtonKey(lineButton.line, lineButton.calls), &window), &QShortcut::activated,
                lineButton.button, &GlyphButton::press);
    }
    for (const int line : {kLineA, kLineB}) {
        // As a click on the line's label: nothing while the label is disabled.
        connect(new QShortcut(activeLineKey(line), &window), &QShortcut::activated, this, [this, line] {
            if (lineLabel(line)->isEnabled())
                onLineLabelClicked(line);
        });
    }
    showKeysInToolTips();
}

void LineControls::retranslate()
{
    showKeysInToolTips();
    showLineStates();
}

void LineControls::showKeysInToolTips()
{
    for (const LineButton &lineButton : m_lineButtons) {
        const QKeySequence key = lineButtonKey(lineButton.line, lineButton.calls);
        lineButton.button->setToolTip(
            tr("%1 (%2)").arg(lineButton.button->accessibleName(), key.toString(QKeySequence::NativeText)));
    }
}

std::vector<std::pair<QKeySequence, QString>> LineControls::shortcuts() const
{
    std::vector<std::pair<QKeySequence, QString>> keys;
    for (const LineButton &lineButton : m_lineButtons)
        keys.emplace_back(lineButtonKey(lineButton.line, lineButton.calls), lineButton.button->accessibleName());
    keys.emplace_back(activeLineKey(kLineA), tr("Make line A the active line"));
    keys.emplace_back(activeLineKey(kLineB), tr("Make line B the active line"));
    return keys;
}

bool LineControls::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    // A click: the release of the left button that was pressed on the label, still over it.
    const auto &mouse = *static_cast<QMouseEvent *>(event);
    const auto *label = static_cast<QWidget *>(watched);
    if (mouse.button() == Qt::LeftButton && label->rect().contains(mouse.position().toPoint()))
        onLineLabelClicked(label == lineLabel(kLineB) ? kLineB : kLineA);
    return false;
}

void LineControls::showRecord()
{
    // Both call buttons look at the one number edit, which shows the active line's party.
    const bool numberGiven = partyNumberGiven(m_partyNumber->text());
    const DeviceRecord &record = m_adapter.record();
    for (LineButton &lineButton : m_lineButtons) {
        const std::uint8_t state = lineState(record, lineButton.line);
        showButtonState(lineButton, lineButton.calls ? canCall(state) && numberGiven : inCall(state));
    }
    showLineStates();
}

void LineControls::showLineStates()
{
    // The labels look the same whichever line is active; a screen reader learns it, and each line's
    // state, operator and signal, from their descriptions, and everyone from their tooltips.
    const DeviceRecord &record = m_adapter.record();
    for (const int line : {kLineA, kLineB}) {
        QLabel *label = lineLabel(line);
        const LineHealth health = lineHealth(record, line, AnsiCodec::system());
        const QString state =
            tr("%1, operator %2, signal %3")
                .arg(lineStateText(health.state), health.operatorName.isEmpty() ? tr("none") : health.operatorName)
                .arg(health.signalLevel);
        // The operator's name is the adapter's.
        const QString toolTip = plainMarkup(tr("Line %1: %2").arg(QLatin1String(lineName(line)), state));
        if (label->toolTip() != toolTip)
            label->setToolTip(toolTip);
        const QString description = activeLine(record) == line
                                        ? tr("%1; the active line").arg(state)
                                        : tr("%1; a click or %2 makes it the active line")
                                              .arg(state, activeLineKey(line).toString(QKeySequence::NativeText));
        // Each change is announced, so only a real one is made.
        if (label->accessibleDescription() != description)
            label->setAccessibleDescription(description);
    }
}

QLabel *LineControls::lineLabel(int line) const
{
    return m_labels[static_cast<std::size_t>(line)];
}

void LineControls::showButtonState(LineButton &lineButton, bool allowed)
{
    lineButton.button->setEnabled(allowed);
    if (allowed != lineButton.showsFaded)
        return;
    QString glyph = lineButton.calls ? QStringLiteral("ON") : QStringLiteral("OFF");
    if (!allowed)
        glyph.prepend(QLatin1Char('n'));
    lineButton.button->setGlyph(glyphPicture(glyph));
    lineButton.showsFaded = !allowed;
}

void LineControls::onLineButtonPressed(const LineButton &lineButton)
{
    // The edits go to the pressed button's line, whichever line they show. An empty edit keeps what
    // the line has, so hanging up needs no party.
    const Party party{m_partyName->text(), m_partyNumber->text()};
    qCDebug(lcUi) << (lineButton.calls ? "call on line" : "hang up on line") << lineName(lineButton.line);
    if (lineButton.calls)
        m_adapter.call(lineButton.line, party);
    else
        m_adapter.hangUp(lineButton.line, party);
}

void LineControls::onLineLabelClicked(int line)
{
    qCDebug(lcUi) << "active line" << lineName(line);
    m_adapter.setActiveLine(line);
}

} // namespace vestra7
