#pragma once

#include "search/VideoSearchController.h"

#include "doubles/ScriptedRecordingSource.h"
#include "testkit/TestKit.h"

#include <QSignalSpy>

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
        source_->ClearScripts();
        std::vector<TestKit::CameraRef> refs;
        for (const CameraScript &camera : cameras) {
            source_->SetCameraFiles(camera.site, camera.id, camera.files);
            refs.push_back({camera.site, camera.id});
        }
        auto condition =
            TestKit::CameraSearchCondition("search-" + std::to_string(++searches_), type, refs);
        condition.SetVal_ptr_label_extra(label_extra);
        QSignalSpy spy(&controller, &CVideoSearchController::SignalSearchResult);
        if (!controller.SearchCameraFiles(condition, split_duration))
            return false;
        auto finished = [&spy] {
            for (const auto &arguments : spy) {
                if (arguments.at(0).value<ClipSearchEvent>().GetEventType() == ClipSearchFinished)
                    return true;
            }
            return false;
        };
        while (!finished()) {
            if (!spy.wait(10000))
                return false;
        }
        events.clear();
        for (const auto &arguments : spy) {
            const auto event = arguments.at(0).value<ClipSearchEvent>();
            events += std::to_string(event.GetEventType()) + "/" +
                      std::to_string(event.GetEventData().GetVal_current_data_num_()) + " ";
        }
        return true;
    }

    // The progress of the last search, "type/count" per event.
    std::string events;

private:
    std::shared_ptr<teskplaycontroller::CScriptedRecordingSource> source_;
    int searches_ = 0;
};

} // namespace ExtractionTest
