#pragma once

// A generated store as the host's recording server, and searches over it run to their end: the
// set-up of every test that needs real results. Only for test binaries that link the module,
// the recording server and the test kit.

#include "data/VideoDataManager.h"
#include "search/VideoSearchController.h"

#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "resources/Resources.h"
#include "testkit/TestKit.h"

#include "Screenshot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

namespace StoreSearch {

// One day of `cameras` cameras over `sites` sites, ending at `end`, with short low-rate clips.
inline teskrecordserver::GeneratorOptions DayOptions(uint64_t seed, int sites, int cameras,
                                                     int64_t end, int clip_fps = 5,
                                                     int jpeg_capture_hours = 0)
{
    teskrecordserver::GeneratorOptions options;
    options.seed = seed;
    options.sites = sites;
    options.cameras = cameras;
    options.days = 1;
    options.anchor = end;
    options.clip_fps = clip_fps;
    options.jpeg_capture_hours = jpeg_capture_hours;
    return options;
}

// Opens (generating when new) the store in the scratch folder `name`, publishes its cameras to
// the host and installs it as every service's recording source.
inline std::shared_ptr<teskrecordserver::CRecordingServer>
InstallStore(const QString &name, const teskrecordserver::GeneratorOptions &options)
{
    TeskResources::Register();
    std::string error;
    auto server =
        TestKit::OpenStore((TestSupport::ScratchDir() + "/" + name).toStdString(), options, error);
    EXPECT_TRUE(server) << error;
    if (server) {
        server->PublishToHost();
        teskrecordserver::CRecordingServer::Install(server);
    }
    return server;
}

// True once a spy on SignalSearchResult has seen its search end.
inline bool Finished(const QSignalSpy &results)
{
    return std::any_of(results.begin(), results.end(), [](const QList<QVariant> &arguments) {
        return arguments.at(0).value<TeskVideoSearch::ClipSearchEvent>().GetEventType() ==
               TeskVideoSearch::ClipSearchFinished;
    });
}

// A search of `type` over the cameras the host lists, for the day before `end`.
inline teskplaycontroller::CCameraVideoSearchCondition
DayCondition(teskplaycontroller::VideoSearchType type, int64_t end)
{
    return TestKit::CameraSearchCondition(Quor::Base::GuidUtil::CreateGuid(), type,
                                          TestKit::DirectoryCameras(), end - 86400, end);
}

struct Searched
{
    std::shared_ptr<TeskVideoSearch::CVideoSearchController> controller;
    QVector<TeskVideoSearch::CResourceKey> keys;
};

// Runs DayCondition on a controller of its own, segments cut at `split` seconds, and waits for
// its end.
inline Searched SearchDay(teskplaycontroller::VideoSearchType type, int64_t end, int split,
                          int timeout_ms = 30000)
{
    Searched searched;
    searched.controller = std::make_shared<TeskVideoSearch::CVideoSearchController>();
    for (const TestKit::CameraRef &camera : TestKit::DirectoryCameras())
        searched.keys.push_back(TestKit::CameraKey(camera.site, camera.id));
    QSignalSpy results(searched.controller.get(),
                       &TeskVideoSearch::CVideoSearchController::SignalSearchResult);
    auto condition = DayCondition(type, end);
    EXPECT_TRUE(searched.controller->SearchCameraFiles(condition, split));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Finished(results); }, timeout_ms))
        << "the search did not end";
    return searched;
}

// A data manager over the rows of `kind` that a search found, on the client's clock.
inline std::shared_ptr<TeskVideoSearch::CVideoDataManager>
Manager(const Searched &searched, TeskVideoSearch::VideoDataType kind,
        TeskVideoSearch::FileSortType sort,
        TeskVideoSearch::CVideoSearchExpandInterface *expand = nullptr)
{
    auto manager = std::make_shared<TeskVideoSearch::CVideoDataManager>();
    TeskVideoSearch::CVideoDataInitParam init;
    init.SetVal_ptr_expand_interface(expand);
    init.SetVal_qvc_filter_camera_keys(searched.keys);
    init.SetVal_file_sort_type(sort);
    init.SetVal_video_data_type(kind);
    init.SetVal_time_type({OrlSearchTimeType::ClientTime, true});
    manager->InitDataParam(init, searched.controller);
    return manager;
}

} // namespace StoreSearch
