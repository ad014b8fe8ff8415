#include "search/VideoSearchController.h"
#include "search/VideoSearchController_p.h"

#include <boost/thread/locks.hpp>

// Result extraction and splitting. For now only the two operations the search road needs are
// in place: every file of a camera becomes one segment, and the overlap rule of deletions.
namespace TeskVideoSearch {

bool CVideoSearchController::IsOverlapTime(std::shared_ptr<CPlaybackFile> file,
                                           const int64_t &begin, const int64_t &end)
{
    if (!file)
        return false;
    const int64_t file_begin = file->GetFileBegTime();
    const int64_t file_end = file->GetFileEndTime();
    if (begin < file_begin && end < file_begin)
        return false;
    if (begin > file_end && end > file_end)
        return false;
    return true;
}

void CVideoSearchController::SplitOriginalFile(CCameraBaseInfo &camera)
{
    const CResourceKey key = camera.GetVal_camera_key();
    CameraFilesEntry entry;
    bool found = false;
    {
        boost::shared_lock<boost::shared_mutex> lock(data_->file_mutex_);
        for (const CameraFilesEntry &stored : data_->qvc_camera_files_) {
            if (teskplaycontroller::IsSameKey(stored.first.GetVal_camera_key(), key)) {
                entry = stored;
                found = true;
                break;
            }
        }
    }
    if (!found)
        return;
    boost::unique_lock<boost::shared_mutex> lock(data_->segment_mutex_);
    for (const PlaybackFilePtr &file : entry.second)
        data_->qvc_segment_files_.append(qMakePair(entry.first, PlaybackFileVector{file}));
}

void CVideoSearchController::GetVideoFiles(CameraFilesList &, CVideoFileParam &) {}

void CVideoSearchController::SplitAllOriginFiles(const int &, const QString &) {}

int CVideoSearchController::SplitCustomFiles(CVideoSplitInfo &)
{
    return 0;
}

void CVideoSearchController::ClearSecondSplitParam() {}

void CVideoSearchController::GetCommonVideoFiles(CameraFilesList &, CVideoFileParam &) {}

void CVideoSearchController::GetTagVideoFiles(CameraFilesList &, CVideoFileParam &) {}

void CVideoSearchController::GetPersonVehicleVideoFiles(CameraFilesList &, CVideoFileParam &) {}

void CVideoSearchController::GetCutVideoFiles(CameraFilesList &, CVideoFileParam &) {}

void CVideoSearchController::GetVideoFilesByIndex(CameraFilesList &, const CameraFilesList &,
                                                  const int &, const int &)
{}

} // namespace TeskVideoSearch
