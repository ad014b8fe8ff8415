#include "quorbase/Util.h"
#include "quorbase/Error.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>
#include <thread>

using namespace Quor::Base;

namespace {

TEST(TimeUtil, WritesIsoDateTimes)
{
    EXPECT_EQ(TimeUtil::TimeDifference2Str(0), "+00:00");
    EXPECT_EQ(TimeUtil::TimeDifference2Str(-19800), "-05:30");
    EXPECT_EQ(TimeUtil::TimeDifference2Str(20700), "+05:45");
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(1796479200, 0, true), "2026-12-05T14:00:00Z");
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(1796479200, 0), "2026-12-05T14:00:00+00:00");
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(1796479200, 28800, true), "2026-12-05T22:00:00+08:00");
    // West of Greenwich the wall clock can fall on the day before.
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(1796436000 + 59, -19800), "2026-12-04T20:30:59-05:30");
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(951782400 + 86399, 0, true), "2000-02-29T23:59:59Z");
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(253402300800, 0, true), "10000-01-01T00:00:00Z");
    EXPECT_EQ(TimeUtil::TimeT2ISODatetime(-1, 0, true), "");
}

struct IsoCase
{
    const char *text;
    int64_t expected;
};

TEST(TimeUtil, ParsesIsoDateTimes)
{
    const IsoCase cases[] = {{"1970-01-01T00:00:00Z", 0},
                             {"1970-01-01T08:00:00+08:00", 0},
                             {"1970-01-01T08:00:00+0800", 0},
                             {"1970-01-01T08:00:00+08", 0},
                             {"2026-12-05T14:00:00Z", 1796479200},
                             {"2026-12-05T14:00:00+08:00", 1796479200 - 28800},
                             {"2024-02-29 23:59:59.999Z", 1709251199},
                             {"2026-12-05T14:00:00", 1796479200}};
    for (const IsoCase &c : cases)
        EXPECT_EQ(TimeUtil::ISODatetime2TimeT(c.text), c.expected) << c.text;
    // 09:30 at -05:30 is 15:00 UTC.
    EXPECT_EQ(TimeUtil::ISODatetime2TimeT("2026-12-05T09:30:00-05:30"), 1796479200 + 3600);
}

TEST(TimeUtil, RejectsTextsThatAreNotDateTimes)
{
    const char *nasty[] = {"",
                           "2026-12-05",
                           "2026-12-05T14:00",
                           "2026-12-05T14:00:0",
                           "2026-13-05T14:00:00Z",
                           "2026-00-05T14:00:00Z",
                           "2026-02-29T00:00:00Z",
                           "2026-04-31T00:00:00Z",
                           "2026-12-05T24:00:00Z",
                           "2026-12-05T14:60:00Z",
                           "2026-12-05T14:00:60Z",
                           "2026-12-05T14:00:00+24:00",
                           "2026-12-05T14:00:00+08:61",
                           "2026-12-05T14:00:00+8",
                           "2026-12-05T14:00:00ZZ",
                           "2026-12-05T14:00:00 garbage",
                           "2026-12-05T14:00:00.",
                           "1969-12-31T23:59:59Z",
                           "1970-01-01T07:59:59+08:00",
                           "2026/12/05 14:00:00",
                           "２０２６-12-05T14:00:00Z",
                           "2026-12-05X14:00:00Z",
                           "-026-12-05T14:00:00Z"};
    for (const char *text : nasty)
        EXPECT_EQ(TimeUtil::ISODatetime2TimeT(text), -1) << text;
    const std::string with_nul("2026-12-05T14:00:00\0Z", 21);
    EXPECT_EQ(TimeUtil::ISODatetime2TimeT(with_nul), -1);
}

// Random bytes and random mutations of a valid text: never a crash, and whatever parses
// round-trips through the formatter.
TEST(TimeUtil, SurvivesRandomInputAndRoundTrips)
{
    std::mt19937 rng(1234);
    const std::string valid = "2026-12-05T14:00:00+08:00";
    for (int i = 0; i < 20000; ++i) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t pos = rng() % (text.size() + 1);
            switch (rng() % 3) {
            case 0:
                if (pos < text.size())
                    text[pos] = static_cast<char>(rng() % 256);
                break;
            case 1:
                text.insert(text.begin() + static_cast<long>(pos), static_cast<char>(rng() % 256));
                break;
            default:
                if (pos < text.size())
                    text.erase(pos, 1);
            }
        }
        const int64_t t = TimeUtil::ISODatetime2TimeT(text);
        if (t >= 0) {
            EXPECT_EQ(TimeUtil::ISODatetime2TimeT(TimeUtil::TimeT2ISODatetime(t, 0, true)), t)
                << text;
        }
    }
    for (int64_t t : {int64_t(0), int64_t(951782400), int64_t(4102444799)}) {
        for (int offset : {0, 28800, -18000, 20700})
            EXPECT_EQ(TimeUtil::ISODatetime2TimeT(TimeUtil::TimeT2ISODatetime(t, offset)), t);
    }
}

TEST(Error, LastErrorIsPerThread)
{
    Error::SetLastError({3, 4});
    Error::ErrorCode other;
    std::thread([&] {
        other = Error::GetLastError();
        Error::SetLastError({9, 9});
    }).join();
    EXPECT_FALSE(other.IsError());
    EXPECT_EQ(Error::GetLastError(), (Error::ErrorCode{3, 4}));
}

TEST(FileSystem, DeleteFileReportsWhetherAFileWasRemoved)
{
    const QString path = TestSupport::ScratchDir() + "/victim.txt";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(FileSystem::DeleteFileW(path.toUtf8().constData()));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(FileSystem::DeleteFileW(path.toUtf8().constData()));
    EXPECT_FALSE(FileSystem::DeleteFileW(nullptr));
}

} // namespace
