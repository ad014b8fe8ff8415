#pragma once

#include "TeskVideoSearchExport.h"
#include "download/VideoDownloadInfo.h"

#include "pluginmanager/PlaybackBusiness.h"

#include <QString>
#include <QVector>

#include <string>

namespace TeskVideoSearch {

// The host's record download request for export records: one entry per range text of every
// record with a camera, into "<save_path>/Video/Video_<local time yyyyMMddHHmmss>".
TESKVIDEOSEARCH_EXPORT play_plugin_protocol::DownloadRequestParam
BuildDirectDownloadRequest(const QVector<CVideoDownloadInfo> &records,
                           const std::string &save_path);

// Sends the request for the configured file save path; false with the operator's message.
TESKVIDEOSEARCH_EXPORT bool DownloadRecordsDirectly(const QVector<CVideoDownloadInfo> &records,
                                                    QString &message);

} // namespace TeskVideoSearch
