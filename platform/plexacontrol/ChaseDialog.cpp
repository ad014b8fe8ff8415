#include "ChaseDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QVBoxLayout>

namespace PlexaControl {

namespace {
constexpr int kAnimationSize = 48;
} // namespace

CChaseDialog::CChaseDialog(QWidget *parent, const QString &animation, const QString &text,
                           bool closable)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , closable_(closable)
{
    setObjectName(QStringLiteral("CChaseDialog"));
    setModal(true);
    setStyleSheet(QStringLiteral(
        "#CChaseDialog { background: #2b2f36; border: 1px solid #454b55; border-radius: 6px; }"
        "#ptr_text_label_ { color: #e6e8eb; font-size: 13px; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 18);
    layout->setSpacing(12);

    ptr_animation_label_ = new QLabel(this);
    ptr_animation_label_->setObjectName(QStringLiteral("ptr_animation_label_"));
    ptr_animation_label_->setFixedSize(kAnimationSize, kAnimationSize);
    ptr_animation_label_->setAlignment(Qt::AlignCenter);
    ptr_movie_ = new QMovie(animation, QByteArray(), this);
    ptr_movie_->setScaledSize(QSize(kAnimationSize, kAnimationSize));
    if (ptr_movie_->isValid())
        ptr_animation_label_->setMovie(ptr_movie_);
    layout->addWidget(ptr_animation_label_, 0, Qt::AlignHCenter);

    ptr_text_label_ = new QLabel(text, this);
    ptr_text_label_->setObjectName(QStringLiteral("ptr_text_label_"));
    ptr_text_label_->setAlignment(Qt::AlignCenter);
    layout->addWidget(ptr_text_label_, 0, Qt::AlignHCenter);
    setMinimumWidth(180);
    adjustSize();
}

CChaseDialog::~CChaseDialog() = default;

void CChaseDialog::SetText(const QString &text)
{
    ptr_text_label_->setText(text);
    adjustSize();
}

QString CChaseDialog::GetText() const
{
    return ptr_text_label_->text();
}

bool CChaseDialog::IsAnimating() const
{
    return ptr_movie_->state() == QMovie::Running;
}

void CChaseDialog::OnImmediatelyStopChase()
{
    if (!isVisible())
        return;
    stopping_ = true;
    done(QDialog::Accepted);
    stopping_ = false;
}

void CChaseDialog::showEvent(QShowEvent *event)
{
    CentreOverParent();
    if (ptr_movie_->isValid())
        ptr_movie_->start();
    QDialog::showEvent(event);
}

void CChaseDialog::hideEvent(QHideEvent *event)
{
    ptr_movie_->stop();
    QDialog::hideEvent(event);
}

void CChaseDialog::reject()
{
    // Escape and the window's close button end only a closable wait.
    if (closable_ || stopping_)
        QDialog::reject();
}

void CChaseDialog::CentreOverParent()
{
    const QWidget *anchor = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (anchor && anchor->isVisible())
        area = anchor->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isEmpty())
        move(area.center() - rect().center());
}

} // namespace PlexaControl
