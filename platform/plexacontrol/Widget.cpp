#include "plexacontrol/Widget.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>

namespace PlexaControl {

namespace {
constexpr int kScreenBorder = 4;

QLocale &GuiLocale()
{
    static QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}
} // namespace

CWidget::CWidget(QWidget *parent)
    : QWidget(parent)
{}

void CWidget::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void SetStyleObjectName(QWidget *widget, const QString &object_name)
{
    if (!widget || widget->objectName() == object_name)
        return;
    widget->setObjectName(object_name);
    // Rules such as "#state QLabel" restyle the children too, which a polish of the renamed
    // widget alone does not reach.
    QList<QWidget *> subtree = widget->findChildren<QWidget *>();
    subtree.prepend(widget);
    for (QWidget *item : subtree) {
        item->style()->unpolish(item);
        item->style()->polish(item);
        item->update();
    }
}

QRect GetBorderAvailableGeometry(const QPoint &global_pos)
{
    QScreen *screen = QGuiApplication::screenAt(global_pos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->availableGeometry().adjusted(kScreenBorder, kScreenBorder, -kScreenBorder,
                                                -kScreenBorder);
}

QRect FitIntoGeometry(const QRect &rect, const QRect &bounds)
{
    if (!bounds.isValid())
        return rect;
    QRect fitted = rect;
    if (fitted.right() > bounds.right())
        fitted.moveRight(bounds.right());
    if (fitted.bottom() > bounds.bottom())
        fitted.moveBottom(bounds.bottom());
    if (fitted.left() < bounds.left())
        fitted.moveLeft(bounds.left());
    if (fitted.top() < bounds.top())
        fitted.moveTop(bounds.top());
    return fitted;
}

QLocale GetGuiLocale()
{
    return GuiLocale();
}

void SetGuiLocale(const QLocale &locale)
{
    GuiLocale() = locale;
}

} // namespace PlexaControl
