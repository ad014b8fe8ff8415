#include "SvgPixmap.h"

#include "mirelog/Log.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include <cmath>

namespace Lattice {

namespace {

qreal DevicePixelRatio()
{
    if (qApp)
        return qApp->devicePixelRatio();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->devicePixelRatio();
    return 1.0;
}

} // namespace

QPixmap GetHighDpiSvgPixmap(const QString &path, const QSize &size)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        TESK_LOG_ERROR("Svg: no GUI application to draw %s", qUtf8Printable(path));
        return {};
    }
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        TESK_LOG_ERROR("Svg: cannot read %s", qUtf8Printable(path));
        return {};
    }
    const QSize logical = size.isEmpty() ? renderer.defaultSize() : size;
    if (logical.isEmpty()) {
        TESK_LOG_ERROR("Svg: %s has no size", qUtf8Printable(path));
        return {};
    }
    const qreal ratio = DevicePixelRatio();
    const QSize pixels(static_cast<int>(std::ceil(logical.width() * ratio)),
                       static_cast<int>(std::ceil(logical.height() * ratio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace Lattice
