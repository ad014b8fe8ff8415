#include "plexacontrol/FancyTabBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

namespace PlexaControl {

namespace {
QString &MenuText()
{
    static QString text;
    return text;
}
} // namespace

CFancyTabBarPanel::CFancyTabBarPanel(QWidget *parent)
    : QTabBar(parent)
{
    setObjectName("CFancyTabBarPanel");
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    // The tab bar keeps its tabs' sizes when the current tab changes; the bold room moves.
    connect(this, &QTabBar::currentChanged, this, [this]() { setElideMode(elideMode()); });
}

void CFancyTabBarPanel::setMenuBtnText(const QString &text)
{
    MenuText() = text;
}

QString CFancyTabBarPanel::menuBtnText()
{
    return MenuText();
}

QSize CFancyTabBarPanel::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (index != currentIndex())
        return size;
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    const QString text = tabText(index);
    const int extra = QFontMetrics(bold).size(Qt::TextShowMnemonic, text).width() -
                      fontMetrics().size(Qt::TextShowMnemonic, text).width();
    if (extra <= 0)
        return size;
    switch (shape()) {
    case RoundedWest:
    case RoundedEast:
    case TriangularWest:
    case TriangularEast:
        size.rheight() += extra;
        break;
    default:
        size.rwidth() += extra;
        break;
    }
    return size;
}

QSize CFancyTabBarPanel::minimumTabSizeHint(int index) const
{
    // The texts are never elided: a tab is never narrower than its text.
    return tabSizeHint(index);
}

CFancyTabBarLine::CFancyTabBarLine(QWidget *parent)
    : QFrame(parent)
{
    setObjectName("CFancyTabBarLine");
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
}

CFancyTabBarPanel *CFancyTabBarLine::CreateTabBar()
{
    if (!ptr_tab_bar_) {
        ptr_tab_bar_ = new CFancyTabBarPanel(this);
        static_cast<QHBoxLayout *>(layout())->insertWidget(0, ptr_tab_bar_);
        connect(ptr_tab_bar_, &QTabBar::currentChanged, this,
                &CFancyTabBarLine::SignalCurrentChanged);
    }
    return ptr_tab_bar_;
}

void CFancyTabBarLine::setButtonMode(int mode)
{
    button_mode_ = mode;
    if (mode == ButtonModeMenu && !ptr_menu_btn_) {
        ptr_menu_btn_ = new QToolButton(this);
        ptr_menu_btn_->setObjectName("ptr_menu_btn_");
        ptr_menu_btn_->setAutoRaise(true);
        ptr_menu_btn_->hide();
        static_cast<QHBoxLayout *>(layout())->addWidget(ptr_menu_btn_);
        connect(ptr_menu_btn_, &QToolButton::clicked, this, &CFancyTabBarLine::ShowTabMenu);
    }
    UpdateMenuButton();
}

void CFancyTabBarLine::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    UpdateMenuButton();
}

bool CFancyTabBarLine::event(QEvent *event)
{
    const bool handled = QFrame::event(event);
    // Tabs that come and go or change their texts ask their parent for a new layout.
    if (event->type() == QEvent::LayoutRequest)
        UpdateMenuButton();
    return handled;
}

void CFancyTabBarLine::UpdateMenuButton()
{
    if (!ptr_menu_btn_)
        return;
    ptr_menu_btn_->setText(CFancyTabBarPanel::menuBtnText() + QStringLiteral(" \u25be"));
    const bool overflow = button_mode_ == ButtonModeMenu && ptr_tab_bar_ &&
                          ptr_tab_bar_->count() > 0 && ptr_tab_bar_->sizeHint().width() > width();
    ptr_menu_btn_->setVisible(overflow);
    // While the tabs do not fit, the last ones end at the menu button or the line's end; one
    // that would be cut there is not shown at all (the menu lists it), rather than with half
    // its text.
    if (!overflow) {
        ptr_tab_bar_->clearMask();
        return;
    }
    const int limit =
        (ptr_menu_btn_->isVisible() ? ptr_menu_btn_->x() : width()) - ptr_tab_bar_->x();
    int shown = 0;
    for (int i = 0; i < ptr_tab_bar_->count(); ++i) {
        const QRect tab = ptr_tab_bar_->tabRect(i);
        if (tab.right() >= limit)
            break;
        shown = tab.right() + 1;
    }
    ptr_tab_bar_->setMask(QRegion(0, 0, qMax(1, shown), ptr_tab_bar_->height()));
}

void CFancyTabBarLine::ShowTabMenu()
{
    if (!ptr_tab_bar_)
        return;
    QMenu menu(this);
    for (int i = 0; i < ptr_tab_bar_->count(); ++i) {
        QAction *action = menu.addAction(ptr_tab_bar_->tabText(i));
        action->setCheckable(true);
        action->setChecked(i == ptr_tab_bar_->currentIndex());
        connect(action, &QAction::triggered, ptr_tab_bar_,
                [bar = ptr_tab_bar_, i] { bar->setCurrentIndex(i); });
    }
    menu.exec(ptr_menu_btn_->mapToGlobal(QPoint(0, ptr_menu_btn_->height())));
}

} // namespace PlexaControl
