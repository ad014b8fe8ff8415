#include "TrackMapWidget.h"
#include "TrackMapWidget_p.h"

#include "mirelog/Log.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace TeskVideoSearch {

namespace {

constexpr double kMaxLongitude = 180.0;
constexpr double kMaxLatitude = 90.0;
// The view never shrinks below this many degrees a side, so that a standing camera is a dot
// in a readable neighbourhood rather than a grid of meaningless lines.
constexpr double kMinSpanDegrees = 0.002;
constexpr int kMargin = 24;
constexpr int kGridLines = 6;
constexpr int kMarkerRadius = 6;

const QColor kBackground(0xf4, 0xf6, 0xf3);
const QColor kGrid(0xd8, 0xdd, 0xd6);
const QColor kTrack(0x1f, 0x6f, 0xd1);
const QColor kCurrent(0xe0, 0x4a, 0x2f);
const QColor kText(0x55, 0x5b, 0x61);

// A number that JSON may carry as a number or, from some devices, as text.
std::optional<double> ReadNumber(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isDouble())
        return value.toDouble();
    if (value.isString()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return number;
    }
    return std::nullopt;
}

// +1 or -1 for a hemisphere letter, 0 for anything else.
int HemisphereSign(const QString &letter, QChar positive, QChar negative)
{
    const QString text = letter.trimmed().toUpper();
    if (text == positive)
        return 1;
    if (text == negative)
        return -1;
    return 0;
}

QString Degrees(double value, QChar positive, QChar negative)
{
    return QStringLiteral("%1° %2")
        .arg(std::fabs(value), 0, 'f', 5)
        .arg(value < 0 ? negative : positive);
}

} // namespace

CTrackMapWidget::CTrackMapWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<UTrackMapWidgetData>())
{
    setObjectName("ptr_track_map_");
    setMinimumSize(200, 160);
}

CTrackMapWidget::~CTrackMapWidget() = default;

std::optional<TrackPoint> CTrackMapWidget::ParseTrackPoint(const QString &json, QString &error)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &parse);
    if (parse.error != QJsonParseError::NoError) {
        error =
            QStringLiteral("not JSON (%1 at offset %2)").arg(parse.errorString()).arg(parse.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const auto longitude = ReadNumber(object, "longitude");
    const auto latitude = ReadNumber(object, "latitude");
    if (!longitude || !latitude) {
        error = QStringLiteral("no numeric longitude and latitude");
        return std::nullopt;
    }
    const int east = HemisphereSign(object.value("longitude_hemiphere").toString(), 'E', 'W');
    const int north = HemisphereSign(object.value("latitude_hemiphere").toString(), 'N', 'S');
    if (east == 0 || north == 0) {
        error = QStringLiteral("hemispheres must be E or W and N or S");
        return std::nullopt;
    }
    if (!std::isfinite(*longitude) || !std::isfinite(*latitude) ||
        std::fabs(*longitude) > kMaxLongitude || std::fabs(*latitude) > kMaxLatitude) {
        error = QStringLiteral("longitude %1, latitude %2 is not a place on Earth")
                    .arg(*longitude)
                    .arg(*latitude);
        return std::nullopt;
    }
    TrackPoint point;
    // A signed value with a hemisphere letter is taken by its size: the letter decides.
    point.longitude = east * std::fabs(*longitude);
    point.latitude = north * std::fabs(*latitude);
    point.time = object.value("strCurrTime").toString();
    point.linked = object.value("isNeedLink").toBool(false);
    return point;
}

bool CTrackMapWidget::LoadCamera(const QString &json)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject() ||
        !document.object().value("CamElementID").isString()) {
        TESK_LOG_ERROR("Map information refused (no camera identifier): %s",
                       qPrintable(json.left(200)));
        return false;
    }
    ClearTrack();
    data_->camera_id = document.object().value("CamElementID").toString();
    data_->is_body_cam = document.object().value("IsBodyCam").toBool(false);
    update();
    return true;
}

bool CTrackMapWidget::AddTrackPoint(const QString &json)
{
    QString error;
    const auto point = ParseTrackPoint(json, error);
    if (!point) {
        ++data_->rejected_;
        TESK_LOG_ERROR("Track point refused, %s: %s", qPrintable(error),
                       qPrintable(json.left(200)));
        return false;
    }
    data_->qvc_points_.append(*point);
    update();
    return true;
}

void CTrackMapWidget::ClearTrack()
{
    data_->qvc_points_.clear();
    data_->rejected_ = 0;
    update();
}

int CTrackMapWidget::PointCount() const
{
    return data_->qvc_points_.size();
}

int CTrackMapWidget::RejectedCount() const
{
    return data_->rejected_;
}

QString CTrackMapWidget::CameraId() const
{
    return data_->camera_id;
}

std::optional<QPointF> CTrackMapWidget::LastPosition() const
{
    if (data_->qvc_points_.isEmpty())
        return std::nullopt;
    const TrackPoint &last = data_->qvc_points_.last();
    return QPointF(last.longitude, last.latitude);
}

void CTrackMapWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kBackground);
    const auto &points = data_->qvc_points_;
    const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);

    painter.setPen(kText);
    if (points.isEmpty()) {
        const QString text = data_->camera_id.isEmpty()
                                 ? tr("No track: play a recording of a camera that reports its "
                                      "position.")
                                 : tr("Waiting for the position of %1…").arg(data_->camera_id);
        painter.drawText(rect().adjusted(kMargin, 0, -kMargin, 0),
                         Qt::AlignCenter | Qt::TextWordWrap, text);
        return;
    }

    // One scale for both axes around the track's bounding box, so that shapes keep their form.
    double west = points.front().longitude, east = west;
    double south = points.front().latitude, north = south;
    for (const TrackPoint &p : points) {
        west = std::min(west, p.longitude);
        east = std::max(east, p.longitude);
        south = std::min(south, p.latitude);
        north = std::max(north, p.latitude);
    }
    const double span = std::max({east - west, north - south, kMinSpanDegrees}) * 1.2;
    const QPointF centre((west + east) / 2, (south + north) / 2);
    const double scale = std::min(area.width(), area.height()) / span;
    const auto toScreen = [&](double longitude, double latitude) {
        return QPointF(area.center().x() + (longitude - centre.x()) * scale,
                       area.center().y() - (latitude - centre.y()) * scale);
    };

    painter.setPen(QPen(kGrid, 1));
    const double step = span / kGridLines;
    for (int i = -kGridLines; i <= kGridLines; ++i) {
        const QPointF a = toScreen(centre.x() + i * step, centre.y());
        painter.drawLine(QPointF(a.x(), 0), QPointF(a.x(), height()));
        painter.drawLine(QPointF(0, a.y()), QPointF(width(), a.y()));
    }

    QPainterPath path;
    for (int i = 0; i < points.size(); ++i) {
        const QPointF at = toScreen(points[i].longitude, points[i].latitude);
        if (i == 0 || !points[i].linked)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    painter.setPen(QPen(kTrack, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.setBrush(kTrack);
    painter.drawEllipse(toScreen(points.front().longitude, points.front().latitude), 3, 3);

    const TrackPoint &last = points.last();
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(kCurrent);
    painter.drawEllipse(toScreen(last.longitude, last.latitude), kMarkerRadius, kMarkerRadius);

    painter.setPen(kText);
    const QString caption = QStringLiteral("%1   %2, %3   %4")
                                .arg(data_->camera_id, Degrees(last.latitude, 'N', 'S'),
                                     Degrees(last.longitude, 'E', 'W'), last.time);
    painter.drawText(QRectF(8, height() - kMargin + 4, width() - 16, kMargin - 6),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    painter.drawText(QRectF(8, 4, width() - 16, kMargin - 6), Qt::AlignRight | Qt::AlignVCenter,
                     tr("%n position(s)", nullptr, points.size()));
}

} // namespace TeskVideoSearch
