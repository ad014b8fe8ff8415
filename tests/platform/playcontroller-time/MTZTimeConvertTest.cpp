#include "playcontroller/MTZTimeConvert.h"
#include "testkit/TestKit.h"

#include <gtest/gtest.h>

using OrlPluginManager::COrlTimeZoneInfor;
using teskplaycontroller::CMTZTimeConvert;
using teskplaycontroller::CResourceKey;

namespace {

// Rules as the devices describe them; the expected values were read off the IANA zones
// Europe/Berlin, Australia/Sydney and America/New_York for 2026. Central Europe switches on the
// last Sunday of March at 02:00 and back on the last Sunday of October at 02:00 standard time.
const COrlTimeZoneInfor kCentralEurope{3600, true, 3600, {3, 5, 0, 2}, {10, 5, 0, 2}};
const COrlTimeZoneInfor kSydney{36000, true, 3600, {10, 1, 0, 2}, {4, 1, 0, 2}};
const COrlTimeZoneInfor kNewYork{-18000, true, 3600, {3, 2, 0, 2}, {11, 1, 0, 1}};

COrlTimeZoneInfor Fixed(int bias)
{
    return {bias, false, 0, {}, {}};
}

class MTZTimeConvertTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &directory = OrlPluginManager::CCameraDirectory::Instance();
        directory.Clear();
        OrlPluginManager::SysConfigResult config;
        config.client_time_zone = Fixed(8 * 3600);
        directory.SetGeneralConfig(config);
        AddCamera("s1", "berlin", kCentralEurope);
        AddCamera("s1", "sydney", kSydney);
        AddCamera("s2", "newyork", kNewYork);
        AddCamera("s2", "kolkata", Fixed(19800));
    }
    void TearDown() override { OrlPluginManager::CCameraDirectory::Instance().Clear(); }

    static void AddCamera(const std::string &site, const std::string &id,
                          const COrlTimeZoneInfor &zone)
    {
        OrlPluginManager::Camera camera;
        camera.site_id = site;
        camera.id = id;
        camera.time_zone = zone;
        OrlPluginManager::CCameraDirectory::Instance().AddCamera(camera);
    }
};

TEST(MTZTimeConvert, LocalTimeOnBothSidesOfEachSwitch)
{
    COrlTimeZoneInfor no_valid_rule = kCentralEurope;
    no_valid_rule.dst_begin.month = 13;
    const struct
    {
        COrlTimeZoneInfor zone;
        int64_t t;
        const char *local;
    } cases[] = {
        {kCentralEurope, 1774745999, "2026-03-29T01:59:59"},
        {kCentralEurope, 1774746000, "2026-03-29T03:00:00"},
        {kCentralEurope, 1792889999, "2026-10-25T02:59:59"},
        {kCentralEurope, 1792890000, "2026-10-25T02:00:00"},
        {kSydney, 1775318399, "2026-04-05T02:59:59"},
        {kSydney, 1775318400, "2026-04-05T02:00:00"},
        {kSydney, 1791043199, "2026-10-04T01:59:59"},
        {kSydney, 1791043200, "2026-10-04T03:00:00"},
        {kSydney, 1768478400, "2026-01-15T23:00:00"}, // summer across the new year
        {kNewYork, 1772953199, "2026-03-08T01:59:59"},
        {kNewYork, 1772953200, "2026-03-08T03:00:00"},
        {kNewYork, 1793512799, "2026-11-01T01:59:59"},
        {kNewYork, 1793512800, "2026-11-01T01:00:00"},
        {Fixed(19800), 1796450400, "2026-12-05T11:30:00"},
        {no_valid_rule, 1784000000, "2026-07-14T04:33:20"}, // the flag alone is not a rule
    };
    for (const auto &c : cases)
        EXPECT_EQ(CMTZTimeConvert::TimeTtoLocalTime(c.t, c.zone), c.local) << c.t;
}

TEST(MTZTimeConvert, DstDatesOfAYear)
{
    int64_t begin = 0, end = 0;
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(kCentralEurope, 126, begin, end));
    EXPECT_EQ(begin, 1774746000);
    EXPECT_EQ(end, 1792890000);
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(kSydney, 126, begin, end));
    EXPECT_EQ(begin, 1791043200);
    EXPECT_EQ(end, 1775318400);
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(kNewYork, 126, begin, end));
    EXPECT_EQ(begin, 1772953200);
    EXPECT_EQ(end, 1793512800);
    // 2024 is a leap year whose last Sunday of March is the 31st: 01:00 UTC.
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(kCentralEurope, 124, begin, end));
    EXPECT_EQ(begin, 1711846800);

    begin = end = 7;
    EXPECT_FALSE(CMTZTimeConvert::GetDstDate(Fixed(3600), 126, begin, end));
    COrlTimeZoneInfor broken = kCentralEurope;
    broken.dst_end.week = 0;
    EXPECT_FALSE(CMTZTimeConvert::GetDstDate(broken, 126, begin, end));
    EXPECT_EQ(begin, 7);
}

TEST(MTZTimeConvert, LocalReadingsAroundTheSwitches)
{
    const COrlTimeZoneInfor berlin = kCentralEurope;
    // 02:30 on 25 October 2026 happens twice: the summer-time one is taken.
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1792895400), 1792888200);
    // 02:30 on 29 March 2026 never happens: read as standard time, i.e. 03:30 summer time.
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1774751400), 1774747800);
    // Plain readings on either side.
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1796450400), 1796450400 - 3600);
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1784000000), 1784000000 - 7200);
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(kSydney, 1768478400 + 11 * 3600), 1768478400);
}

TEST_F(MTZTimeConvertTest, ClientTimeKeepsLocalAndDifferenceApart)
{
    std::string local, difference;
    ASSERT_TRUE(CMTZTimeConvert::GetClientTimeLocalAddDiff(local, difference, 1796450400));
    EXPECT_EQ(local, "2026/12/05 14:00:00");
    EXPECT_EQ(difference, "(UTC+08:00)");

    OrlPluginManager::SysConfigResult config;
    config.client_time_zone = kNewYork;
    OrlPluginManager::CCameraDirectory::Instance().SetGeneralConfig(config);
    ASSERT_TRUE(CMTZTimeConvert::GetClientTimeLocalAddDiff(local, difference, 1793512799));
    EXPECT_EQ(local, "2026/11/01 01:59:59");
    EXPECT_EQ(difference, "(UTC-04:00)");
    ASSERT_TRUE(CMTZTimeConvert::GetClientTimeLocalAddDiff(local, difference, 1793512800));
    EXPECT_EQ(local, "2026/11/01 01:00:00");
    EXPECT_EQ(difference, "(UTC-05:00)");

    EXPECT_FALSE(CMTZTimeConvert::GetClientTimeLocalAddDiff(local, difference, -1));
    EXPECT_TRUE(local.empty());
    EXPECT_TRUE(difference.empty());
}

TEST(MTZTimeConvert, ISOTimeSplitsIntoLocalAndDifference)
{
    struct Case
    {
        const char *iso;
        bool ok;
        const char *local;
        const char *difference;
    };
    const Case cases[] = {
        {"2026-12-05T14:00:00+08:00", true, "2026/12/05 14:00:00", "(UTC+08:00)"},
        {"2026-12-05 14:00:00.250-0530", true, "2026/12/05 14:00:00", "(UTC-05:30)"},
        {"2026-12-05T14:00:00Z", true, "2026/12/05 14:00:00", "(UTC+00:00)"},
        {"2026-12-05T14:00:00", true, "2026/12/05 14:00:00", ""},
        {"2026/12/05 14:00:00", false, "", ""},
        {"2026-13-05T14:00:00Z", false, "", ""},
        {"2026-12-05T14:00", false, "", ""},
        {"", false, "", ""},
        {"garbage text here!!", false, "", ""},
    };
    for (const Case &c : cases) {
        std::string local = "stale", difference = "stale";
        EXPECT_EQ(CMTZTimeConvert::GetISOTimeLocalAddDiff(local, difference, c.iso), c.ok) << c.iso;
        EXPECT_EQ(local, c.local) << c.iso;
        EXPECT_EQ(difference, c.difference) << c.iso;
    }
}

TEST_F(MTZTimeConvertTest, ISOTimeOfADeviceFollowsItsZone)
{
    const auto berlin = TestKit::CameraKey("s1", "berlin");
    const auto kolkata = TestKit::CameraKey("s2", "kolkata");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1774745999, 0, berlin), "2026-03-29T01:59:59+01:00");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1774746000, 0, berlin), "2026-03-29T03:00:00+02:00");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1796450400, 0, kolkata), "2026-12-05T11:30:00+05:30");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1796450400, 1, kolkata), "2026-12-05T06:00:00Z");
    // Not listed (wrong site): the client's zone.
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1796450400, 0, TestKit::CameraKey("s2", "berlin")),
              "2026-12-05T14:00:00+08:00");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(-5, 0, berlin), "");

    COrlTimeZoneInfor zone;
    EXPECT_TRUE(CMTZTimeConvert::GetDeviceTimeZoneInfor(TestKit::CameraKey("s1", "sydney"), zone));
    EXPECT_EQ(zone.utc_bias, 36000);
    EXPECT_FALSE(CMTZTimeConvert::GetDeviceTimeZoneInfor(TestKit::CameraKey("", ""), zone));
    EXPECT_EQ(zone.utc_bias, 8 * 3600);
}

TEST_F(MTZTimeConvertTest, ZeroTimeReadOnTheChosenClock)
{
    const auto berlin = TestKit::CameraKey("s1", "berlin");
    // 2026-12-05 14:00:00 as a wall-clock reading.
    const int64_t t0 = 1796450400;
    const int64_t reading = t0 + 8 * 3600;
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, berlin, 0), t0);
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, berlin, 1), t0 + 7 * 3600);
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, TestKit::CameraKey("s1", "sydney"), 1),
              t0 + 8 * 3600 - 11 * 3600);
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, TestKit::CameraKey("s2", "newyork"), 1),
              t0 + 13 * 3600);
    // Round trip through the device's ISO text.
    const int64_t t = CMTZTimeConvert::SwitchZeroTimet(1792895400, berlin, 1);
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(t, 0, berlin), "2026-10-25T02:30:00+02:00");
}

TEST(MTZTimeConvert, TextForms)
{
    EXPECT_EQ(CMTZTimeConvert::FormatLocalTime(0), "1970/01/01 00:00:00");
    EXPECT_EQ(CMTZTimeConvert::FormatLocalTime(-1), "1969/12/31 23:59:59");
    EXPECT_EQ(CMTZTimeConvert::FormatLocalTime(951782400), "2000/02/29 00:00:00");
    EXPECT_EQ(CMTZTimeConvert::TimeTtoLocalTime(-1, Fixed(0)), "");
}

} // namespace
