#include "data/CustomVideoData.h"

#include "mirelog/Log.h"

#include <QPainter>
#include <QSvgRenderer>

namespace TeskVideoSearch {

struct CustomVideoDataFields
{
    PlaybackFileVector files;
    QImage thumbnail;
    // What GetThumbnailImage hands out when no picture is loaded: a shallow copy of one of the
    // shared pictures, so that callers never write into the shared ones.
    QImage shown;
};

namespace {

QImage RenderSvg(const char *path)
{
    QSvgRenderer renderer(QString::fromLatin1(path));
    if (!renderer.isValid()) {
        TESK_LOG_ERROR("cannot load picture %s", path);
        return QImage();
    }
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

CCustomVideoData::CCustomVideoData()
    : data_(std::make_shared<CustomVideoDataFields>())
{}

CCustomVideoData::~CCustomVideoData() = default;

void CCustomVideoData::SetFileDatas(const PlaybackFileVector &files)
{
    data_->files = files;
}

void CCustomVideoData::GetFileDatas(PlaybackFileVector &out) const
{
    out = data_->files;
}

void CCustomVideoData::SetThumbnailImage(const QImage &image)
{
    data_->thumbnail = image;
}

QImage &CCustomVideoData::GetThumbnailImage()
{
    switch (GetPairData(KeyThumbnailState).toInt()) {
    case ThumbnailLoaded:
        return data_->thumbnail;
    case ThumbnailFailed:
        data_->shown = FailurePicture();
        return data_->shown;
    default:
        data_->shown = NotLoadedPicture();
        return data_->shown;
    }
}

const QImage &CCustomVideoData::FailurePicture()
{
    static const QImage picture = RenderSvg(":/Images/TeskVideoSearch/default_picture_error_l.svg");
    return picture;
}

const QImage &CCustomVideoData::NotLoadedPicture()
{
    static const QImage picture = RenderSvg(":/Images/TeskVideoSearch/unload_image.svg");
    return picture;
}

} // namespace TeskVideoSearch
