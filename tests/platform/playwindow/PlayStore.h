#pragma once

#include "recordserver/RecordingServer.h"

#include "TestSupport.h"

#include "playcontroller/CameraForPlay.h"
#include "playcontroller/PlaybackFile.h"
#include "playcontroller/RecordingSource.h"
#include "quorbase/Util.h"

#include <gtest/gtest.h>

#include <memory>

namespace PlayTest {

// One small store for the binary, generated on first use and installed as the recording source.
inline std::shared_ptr<teskrecordserver::CRecordingServer> Store()
{
    static std::shared_ptr<teskrecordserver::CRecordingServer> server = [] {
        teskrecordserver::GeneratorOptions options;
        options.seed = 11;
        options.sites = 1;
        options.cameras = 2;
        options.days = 1;
        options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 6, 2) * 86400;
        options.jpeg_capture_hours = 0;
        auto created = std::make_shared<teskrecordserver::CRecordingServer>();
        const auto status =
            created->Open((TestSupport::ScratchDir() + "/play").toStdString(), options);
        EXPECT_TRUE(status.IsOk()) << status.Message();
        created->PublishToHost();
        return created;
    }();
    return server;
}

inline void InstallStore()
{
    teskplaycontroller::CRecordingSourceRegistry::SetSource(Store());
}

// The first camera and its first recording of at least `seconds`.
struct Recording
{
    std::shared_ptr<teskplaycontroller::CCameraForPlay> camera;
    int64_t begin = 0;
    int64_t end = 0;
};

inline Recording LongRecording(int seconds = 120)
{
    Recording out;
    const auto cameras = Store()->Catalogue().Cameras();
    for (const auto &camera : cameras) {
        for (const auto &row :
             Store()->Catalogue().Recordings(camera.site_id, camera.id, 0, INT64_MAX / 2)) {
            if (row.end - row.begin >= seconds) {
                teskplaycontroller::CCameraElement element;
                element.SetVal_camera_id(camera.id);
                element.SetVal_site_id(camera.site_id);
                element.SetVal_camera_name(camera.name);
                out.camera = std::make_shared<teskplaycontroller::CCameraForPlay>(element);
                out.begin = row.begin;
                out.end = row.end;
                return out;
            }
        }
    }
    ADD_FAILURE() << "The store holds no recording of " << seconds << " s";
    return out;
}

inline std::vector<std::shared_ptr<teskplaycontroller::CPlaybackFile>> FileOf(int64_t begin,
                                                                              int64_t end)
{
    return {std::make_shared<teskplaycontroller::CDeviceFile>(begin, end, "file")};
}

} // namespace PlayTest
