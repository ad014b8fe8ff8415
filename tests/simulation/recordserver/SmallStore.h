#pragma once

#include "recordserver/RecordingServer.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include "quorbase/Util.h"

#include <atomic>
#include <memory>
#include <string>

namespace RecordServerTest {

// Two days around the 2026 spring daylight-saving switch of Central Europe.
inline teskrecordserver::GeneratorOptions SmallOptions(uint64_t seed = 7)
{
    teskrecordserver::GeneratorOptions options;
    options.seed = seed;
    options.sites = 2;
    options.cameras = 8;
    options.days = 2;
    options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 3, 30) * 86400;
    options.clip_fps = 5;
    options.jpeg_capture_hours = 6;
    return options;
}

// A directory of the scratch area that no earlier run of a test in this process used, so that
// a test repeated (--gtest_repeat) starts from nothing.
inline std::string FreshDir(const std::string &name)
{
    static std::atomic<int> runs{0};
    return (TestSupport::ScratchDir() + "/" + QString::fromStdString(name) + "-" +
            QString::number(++runs))
        .toStdString();
}

// One store shared by the tests of this binary, generated on first use.
inline std::shared_ptr<teskrecordserver::CRecordingServer> SmallStorePtr()
{
    static std::shared_ptr<teskrecordserver::CRecordingServer> server = [] {
        auto created = std::make_shared<teskrecordserver::CRecordingServer>();
        const auto status =
            created->Open((TestSupport::ScratchDir() + "/small").toStdString(), SmallOptions());
        EXPECT_TRUE(status.IsOk()) << status.Message();
        return created;
    }();
    return server;
}

inline teskrecordserver::CRecordingServer &SmallStore()
{
    return *SmallStorePtr();
}

inline std::shared_ptr<teskplaycontroller::CCameraForPlay>
CameraOf(const teskrecordserver::CameraRow &row)
{
    return std::make_shared<teskplaycontroller::CCameraForPlay>(row.site_id, row.id);
}

} // namespace RecordServerTest
