#include "MessageTipManager.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QThread>
#include <QTimer>

namespace tesk_ui_data_controller {

namespace {
constexpr int kTopMargin = 48;
constexpr int kMaximumWidth = 480;

struct AlertLook
{
    const char *object_name;
    const char *mark;
    const char *colour;
};

AlertLook LookOf(int alert_state)
{
    switch (alert_state) {
    case CMessageTip::AlertFailure:
        return {"ptr_tip_failure_", "\u2716", "#d9534f"};
    case CMessageTip::AlertInformation:
        return {"ptr_tip_information_", "i", "#3a87d6"};
    default:
        return {"ptr_tip_success_", "\u2714", "#3c9d5d"};
    }
}
} // namespace

CMessageTip::CMessageTip(QWidget *host, const QString &text, int alert_state, bool auto_hide,
                         int font_pixel_size)
    : QWidget(host, host ? Qt::Widget : Qt::Tool | Qt::FramelessWindowHint)
    , alert_state_(alert_state)
{
    const AlertLook look = LookOf(alert_state);
    setObjectName(QString::fromLatin1(look.object_name));
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    const int pixels = font_pixel_size > 0 ? font_pixel_size : 15;
    setStyleSheet(
        QStringLiteral("#%1 { background: #fdfdfd; border: 1px solid %2; "
                       "border-radius: 4px; } QLabel { color: #26292e; background: transparent; "
                       "font-size: %3px; }"
                       " #ptr_icon_label_ { color: white; background: %2; "
                       "border-radius: 9px; font-size: 11px; font-weight: bold; }")
            .arg(objectName(), QLatin1String(look.colour))
            .arg(pixels));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 9, 16, 9);
    layout->setSpacing(10);
    ptr_icon_label_ = new QLabel(QString::fromUtf8(look.mark), this);
    ptr_icon_label_->setObjectName(QStringLiteral("ptr_icon_label_"));
    ptr_icon_label_->setFixedSize(18, 18);
    ptr_icon_label_->setAlignment(Qt::AlignCenter);
    layout->addWidget(ptr_icon_label_, 0, Qt::AlignTop);
    ptr_text_label_ = new QLabel(text, this);
    ptr_text_label_->setObjectName(QStringLiteral("ptr_text_label_"));
    ptr_text_label_->setWordWrap(true);
    ptr_text_label_->setMaximumWidth(kMaximumWidth);
    // A wrapping label asks for little width; give short texts one line, long ones the maximum.
    QFont font = ptr_text_label_->font();
    font.setPixelSize(pixels);
    ptr_text_label_->setMinimumWidth(
        qMin(QFontMetrics(font).horizontalAdvance(text) + 4, kMaximumWidth));
    layout->addWidget(ptr_text_label_, 1);

    ptr_opacity_ = new QGraphicsOpacityEffect(this);
    ptr_opacity_->setOpacity(1.0);
    setGraphicsEffect(ptr_opacity_);
    ptr_fade_ = new QPropertyAnimation(ptr_opacity_, "opacity", this);
    ptr_fade_->setDuration(kFadeMilliseconds);
    ptr_fade_->setStartValue(1.0);
    ptr_fade_->setEndValue(0.0);
    connect(ptr_fade_, &QPropertyAnimation::finished, this, &QObject::deleteLater);
    if (auto_hide)
        QTimer::singleShot(kShowMilliseconds, this, &CMessageTip::FadeOut);
    // Follow the host window when it is resized.
    if (host)
        host->installEventFilter(this);
    adjustSize();
    Place();
}

QString CMessageTip::GetText() const
{
    return ptr_text_label_->text();
}

void CMessageTip::FadeOut()
{
    if (ptr_fade_->state() != QAbstractAnimation::Running)
        ptr_fade_->start();
}

void CMessageTip::mousePressEvent(QMouseEvent *)
{
    FadeOut();
}

bool CMessageTip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Place();
    return QWidget::eventFilter(watched, event);
}

void CMessageTip::Place()
{
    const QSize size = sizeHint().expandedTo(minimumSizeHint());
    resize(size);
    if (QWidget *host = parentWidget()) {
        move((host->width() - size.width()) / 2, qMin(kTopMargin, host->height() / 4));
        return;
    }
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center().x() - size.width() / 2, area.top() + kTopMargin);
    }
}

void CMessageTipManager::ShowMessage(QWidget *parent, const QString &text, int alert_state,
                                     int auto_hide, int font_pixel_size)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!qobject_cast<QApplication *>(app))
        return;
    if (QThread::currentThread() == app->thread()) {
        ShowOnGuiThread(parent, text, alert_state, auto_hide != 0, font_pixel_size);
        return;
    }
    // The parent may be gone by the time the queued call runs: keep only a guarded pointer.
    QPointer<QWidget> guarded = parent;
    QMetaObject::invokeMethod(
        app,
        [this, guarded, had_parent = parent != nullptr, text, alert_state, auto_hide,
         font_pixel_size] {
            if (had_parent && !guarded)
                return;
            ShowOnGuiThread(guarded.data(), text, alert_state, auto_hide != 0, font_pixel_size);
        },
        Qt::QueuedConnection);
}

QList<CMessageTip *> CMessageTipManager::OpenTips() const
{
    QList<CMessageTip *> open;
    for (const auto &tip : tips_) {
        if (tip)
            open.append(tip.data());
    }
    return open;
}

void CMessageTipManager::ShowOnGuiThread(QWidget *parent, const QString &text, int alert_state,
                                         bool auto_hide, int font_pixel_size)
{
    QWidget *host = parent ? parent->window() : nullptr;
    for (auto it = tips_.begin(); it != tips_.end();) {
        if (*it && (*it)->parentWidget() != host) {
            ++it;
            continue;
        }
        if (*it)
            (*it)->deleteLater();
        it = tips_.erase(it);
    }
    auto *tip = new CMessageTip(host, text, alert_state, auto_hide, font_pixel_size);
    tips_.append(tip);
    tip->show();
    tip->raise();
}

} // namespace tesk_ui_data_controller
