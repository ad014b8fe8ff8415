#include "plexacontrol/IconTextPushButton.h"
#include "plexacontrol/Label.h"
#include "plexacontrol/PushButton.h"
#include "plexacontrol/ScrollArea.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace PlexaControl {

namespace {
constexpr int kIconTextSpacing = 6;
constexpr int kHorizontalPadding = 8;
} // namespace

CPushButton::CPushButton(QWidget *parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
}

CPushButton::CPushButton(const QString &text, QWidget *parent)
    : CPushButton(parent)
{
    setText(text);
}

CLabel::CLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

CLabel::CLabel(const QString &text, QWidget *parent)
    : CLabel(parent)
{
    setText(text);
}

void CLabel::enterEvent(QEvent *event)
{
    QLabel::enterEvent(event);
    emit SignalMouseEnter();
}

void CLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    emit SignalMouseLeave();
}

CIconTextPushButton::CIconTextPushButton(QWidget *parent)
    : CPushButton(parent)
{}

CIconTextPushButton::CIconTextPushButton(const QString &text, QWidget *parent)
    : CPushButton(text, parent)
{}

QSize CIconTextPushButton::sizeHint() const
{
    const int icon_width = icon().isNull() ? 0 : iconSize().width() + kIconTextSpacing;
    const int text_width = fontMetrics().horizontalAdvance(text());
    return {2 * kHorizontalPadding + icon_width + text_width,
            qMax(fontMetrics().height(), iconSize().height()) + 8};
}

void CIconTextPushButton::paintEvent(QPaintEvent *)
{
    // The style draws the frame and hover state; icon and text are laid out here so that the
    // text stays left-aligned whatever the style does with a plain push button.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect area = rect().adjusted(kHorizontalPadding, 0, -kHorizontalPadding, 0);
    if (!icon().isNull()) {
        const QRect icon_rect(area.left(), area.center().y() - iconSize().height() / 2,
                              iconSize().width(), iconSize().height());
        icon().paint(&painter, icon_rect);
        area.setLeft(icon_rect.right() + 1 + kIconTextSpacing);
    }
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text());
}

CScrollArea::CScrollArea(QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
}

} // namespace PlexaControl
