// TCapProgress: the caption label, the marquee style and the error look.
#include "widgets/cap_progress.h"

#include <QLabel>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

namespace {

const QColor errorChunkColour(204, 32, 32);

} // namespace

TCapProgress::TCapProgress(QWidget *AOwner)
    : QProgressBar(AOwner)
    , m_cap(new QLabel(this))
{
    setRange(0, 100);
    setValue(0);
    // The caption is the only text; the style's own percentage would show through it.
    setTextVisible(false);
    m_cap->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_cap->setText(QStringLiteral("0%"));
    m_cap->setAutoFillBackground(false);
    m_cap->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_cap->setGeometry(rect());
}

void TCapProgress::setBarStyle(BarStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    if (style == BarStyle::Marquee) {
        m_ordinaryMinimum = minimum();
        m_ordinaryMaximum = maximum();
        m_ordinaryValue = value();
        setRange(0, 0);
    } else {
        setRange(m_ordinaryMinimum, m_ordinaryMaximum);
        setValue(m_ordinaryValue);
    }
}

void TCapProgress::setBarState(BarState state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

void TCapProgress::paintEvent(QPaintEvent *event)
{
    if (m_state == BarState::Normal) {
        QProgressBar::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.palette.setColor(QPalette::Highlight, errorChunkColour);
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

void TCapProgress::resizeEvent(QResizeEvent *event)
{
    QProgressBar::resizeEvent(event);
    m_cap->setGeometry(rect());
}
