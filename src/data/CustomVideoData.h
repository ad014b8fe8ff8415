#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchRecords.h"

#include "plexacontrol/MultiPairData.h"

#include <QImage>
#include <QObject>

#include <memory>

namespace TeskVideoSearch {

// Pair-data keys of a display item, shared by the data manager and the views.
enum CustomDataKey {
    KeyDataId = 1257,
    KeySiteId = 1259,
    KeyCameraId = 1260,
    KeyCameraName = 1261,
    KeyCameraFileCount = 1262,
    KeyThumbnailState = 1263,
    KeyThumbnailSupported = 1264,
    KeyBeginTimeText = 1265,
    KeyIsRegularKind = 1266,
    KeyIsSplitByLength = 1267,
    KeySearchByImageSupported = 1268,
    KeySplitLength = 1269,
    KeyShowCameraName = 1270,
    KeyBadgeState = 1271,
};

// Values of KeyThumbnailState; anything else means not loaded.
enum ThumbnailState {
    ThumbnailNotLoaded = 0,
    ThumbnailFetching = 1,
    ThumbnailLoaded = 2,
    ThumbnailFailed = 3,
};

struct CustomVideoDataFields;

// One display item of a result view: one row's files, its thumbnail and its pair data.
class TESKVIDEOSEARCH_EXPORT CCustomVideoData : public QObject, public PlexaControl::CMultiPairData
{
    Q_OBJECT
public:
    CCustomVideoData();
    ~CCustomVideoData() override;

    void SetFileDatas(const PlaybackFileVector &files);
    void GetFileDatas(PlaybackFileVector &out) const;
    void SetThumbnailImage(const QImage &image);
    // The loaded picture in state 2, the shared failure picture in state 3, else the shared
    // not-loaded picture.
    QImage &GetThumbnailImage();

    // The two shared pictures, rendered once from the client's resources.
    static const QImage &FailurePicture();
    static const QImage &NotLoadedPicture();

private:
    std::shared_ptr<CustomVideoDataFields> data_;
};

} // namespace TeskVideoSearch
