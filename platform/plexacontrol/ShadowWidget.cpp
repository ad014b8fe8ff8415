#include "plexacontrol/ShadowWidget.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace PlexaControl {

namespace {

struct ShadowLook
{
    QMargins margins;
    int blur_radius;
    QPoint offset;
    int alpha;
};

const ShadowLook &LookOf(int mode)
{
    static const ShadowLook around{{10, 8, 10, 12}, 8, {0, 2}, 70};
    static const ShadowLook below{{4, 0, 4, 8}, 5, {0, 3}, 60};
    return mode == CShadowWidget::ShadowBelow ? below : around;
}

constexpr qreal kCornerRadius = 4.0;
// Three box passes come close to a Gaussian blur.
constexpr int kBlurPasses = 3;

// One box-blur pass over the alpha channel, along rows or columns.
void BoxBlurAlpha(QImage &image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int window = 2 * radius + 1;
    std::vector<int> source(length);
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb & {
            const int x = horizontal ? i : line;
            const int y = horizontal ? line : i;
            return reinterpret_cast<QRgb *>(image.scanLine(y))[x];
        };
        for (int i = 0; i < length; ++i)
            source[i] = qAlpha(pixel(i));
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += source[std::clamp(i, 0, length - 1)];
        for (int i = 0; i < length; ++i) {
            const int alpha = sum / window;
            pixel(i) = qRgba(0, 0, 0, alpha);
            sum += source[std::min(i + radius + 1, length - 1)];
            sum -= source[std::max(i - radius, 0)];
        }
    }
}

} // namespace

CShadowWidget::CShadowWidget(QWidget *content, int shadow_mode, QWidget *parent)
    : QWidget(parent)
    , shadow_mode_(shadow_mode)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(LookOf(shadow_mode_).margins);
    layout->setSpacing(0);
    SetContentWidget(content);
}

void CShadowWidget::SetContentWidget(QWidget *content)
{
    if (content_ == content)
        return;
    if (content_)
        layout()->removeWidget(content_);
    content_ = content;
    if (content_)
        layout()->addWidget(content_);
    RebuildShadow();
}

QWidget *CShadowWidget::ContentWidget() const
{
    return content_;
}

int CShadowWidget::ShadowMode() const
{
    return shadow_mode_;
}

QMargins CShadowWidget::ShadowMargins() const
{
    return LookOf(shadow_mode_).margins;
}

void CShadowWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RebuildShadow();
}

void CShadowWidget::RebuildShadow()
{
    shadow_ = QImage();
    const QRect area = rect().marginsRemoved(ShadowMargins());
    if (area.isEmpty())
        return;
    const ShadowLook &look = LookOf(shadow_mode_);
    QImage image(size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(area.translated(look.offset)), kCornerRadius, kCornerRadius);
        painter.fillPath(path, QColor(0, 0, 0, look.alpha));
    }
    const int pass_radius = std::max(1, look.blur_radius / kBlurPasses);
    for (int pass = 0; pass < kBlurPasses; ++pass) {
        BoxBlurAlpha(image, pass_radius, true);
        BoxBlurAlpha(image, pass_radius, false);
    }
    // The content covers its own area; a shadow under a translucent content would grey it.
    QPainter clear(&image);
    clear.setCompositionMode(QPainter::CompositionMode_Clear);
    clear.setRenderHint(QPainter::Antialiasing);
    QPainterPath content_path;
    content_path.addRoundedRect(QRectF(area), kCornerRadius, kCornerRadius);
    clear.fillPath(content_path, Qt::black);
    shadow_ = image;
    update();
}

void CShadowWidget::paintEvent(QPaintEvent *)
{
    if (shadow_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, shadow_);
}

} // namespace PlexaControl
