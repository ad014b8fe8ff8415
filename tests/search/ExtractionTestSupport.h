#pragma once

#include "search/VideoSearchController.h"

#include "doubles/ScriptedRecordingSource.h"
#include "playcontroller/CameraForPlay.h"
#include "testkit/TestKit.h"

#include <QSignalSpy>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ExtractionTest {

using namespace TeskVideoSearch;
using teskplaycontroller::PlaybackFileList;

struct CameraScript
{
    std::string site;
    std::string id;
    PlaybackFileList files;
};

using TestKit::CameraKey;

// True once the search that `results` watches has reported its end.
inline bool Ended(const QSignalSpy &results)
{
    return std::any_of(results.begin(), results.end(), [](const QList<QVariant> &arguments) {
        return arguments.at(0).value<ClipSearchEvent>().GetEventType() == ClipSearchFinished;
    });
}

// Fills a controller's stores the way the pages do: a camera search answered by a scripted
// recording source, waited for until the controller reports the end.
class CStoreFiller
{
public:
    CStoreFiller()
        : source_(std::make_shared<teskplaycontroller::CScriptedRecordingSource>())
    {
        teskplaycontroller::CRecordingSourceRegistry::SetSource(source_);
    }
    ~CStoreFiller() { teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr); }

    teskplaycontroller::CScriptedRecordingSource &Source() { return *source_; }

    // False when the search did not finish in time.
    bool Search(CVideoSearchController &controller, const std::vector<CameraScript> &cameras,
                teskplaycontroller::VideoSearchType type, int split_duration,
                std::shared_ptr<teskplaycontroller::CLableExtra> label_extra = nullptr)
    {
        return Start(controller, cameras, type, split_duration, label_extra) && Finish();
    }

    // Starts a search and returns at once; Finish waits for its end.
    bool Start(CVideoSearchController &controller, const std::vector<CameraScript> &cameras,
               teskplaycontroller::VideoSearchType type, int split_duration,
               std::shared_ptr<teskplaycontroller::CLableExtra> label_extra = nullptr)
    {
        source_->ClearScripts();
        std::vector<TestKit::CameraRef> refs;
        for (const CameraScript &camera : cameras) {
            source_->SetCameraFiles(camera.site, camera.id, camera.files);
            refs.push_back({camera.site, camera.id});
        }
        auto condition =
            TestKit::CameraSearchCondition("search-" + std::to_string(++searches_), type, refs);
        condition.SetVal_ptr_label_extra(label_extra);
        auto infos = condition.GetVal_tesk_camera_info();
        for (auto &info : infos) {
            const auto camera = info.GetVal_ptr_camera_for_play();
            const auto object =
                camera_objects.find(camera->GetSiteID() + "/" + camera->GetCameraID());
            if (object != camera_objects.end())
                info.SetVal_ptr_camera_for_play(object->second);
        }
        condition.SetVal_tesk_camera_info(infos);
        spy_ =
            std::make_unique<QSignalSpy>(&controller, &CVideoSearchController::SignalSearchResult);
        return controller.SearchCameraFiles(condition, split_duration);
    }

    // True once the search started last has reported its end.
    bool Finished() const { return spy_ && Ended(*spy_); }

    // False when the search did not finish in time.
    bool Finish()
    {
        while (!Finished()) {
            if (!spy_ || !spy_->wait(10000))
                return false;
        }
        events.clear();
        for (const auto &arguments : *spy_) {
            const auto event = arguments.at(0).value<ClipSearchEvent>();
            events += std::to_string(event.GetEventType()) + "/" +
                      std::to_string(event.GetEventData().GetVal_current_data_num_()) + " ";
        }
        return true;
    }

    // Camera objects that searches hand to the controller in place of plain ones, by "site/id".
    std::map<std::string, std::shared_ptr<teskplaycontroller::CCameraForPlay>> camera_objects;

    // The progress of the last search, "type/count" per event.
    std::string events;

private:
    std::shared_ptr<teskplaycontroller::CScriptedRecordingSource> source_;
    std::unique_ptr<QSignalSpy> spy_;
    int searches_ = 0;
};

} // namespace ExtractionTest
