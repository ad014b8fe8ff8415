#pragma once

#include "recordserver/RecordingServer.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include "quorbase/Util.h"
#include "testkit/TestKit.h"

#include <atomic>
#include <memory>
#include <string>

namespace RecordServerTest {

// Two days around the 2026 spring daylight-saving switch of Central Europe.
inline teskrecordserver::GeneratorOptions SmallOptions(uint64_t seed = 7)
{
    auto options = TestKit::SmallStoreOptions(
        8, 2, Quor::Base::TimeUtil::DaysFromCivil(2026, 3, 30) * 86400, seed);
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
        std::string error;
        auto created = TestKit::OpenStore((TestSupport::ScratchDir() + "/small").toStdString(),
                                          SmallOptions(), error);
        // The tests go on with an empty store rather than a null one; this failure names why.
        EXPECT_TRUE(created) << error;
        return created ? created : std::make_shared<teskrecordserver::CRecordingServer>();
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
