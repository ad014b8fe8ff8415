#include "playcontroller/MTZTimeConvert.h"
#include "testkit/TestKit.h"

#include <gtest/gtest.h>

using OrlPluginManager::COrlTimeZoneInfor;
using teskplaycontroller::CMTZTimeConvert;
using teskplaycontroller::CResourceKey;

namespace {

// Rules as the devices describe them; the expected values were read off the IANA zones
// Europe/Berlin, Australia/Sydney and America/New_York for 2026.
COrlTimeZoneInfor CentralEurope()
{
    COrlTimeZoneInfor zone;
    zone.utc_bias = 3600;
    zone.b_dst = true;
    zone.daylight_bias = 3600;
    zone.dst_begin = {3, 5, 0, 2}; // last Sunday of March, 02:00
    zone.dst_end = {10, 5, 0, 2};  // last Sunday of October, 02:00 standard (03:00 summer)
    return zone;
}

COrlTimeZoneInfor Sydney()
{
    COrlTimeZoneInfor zone;
    zone.utc_bias = 36000;
    zone.b_dst = true;
    zone.daylight_bias = 3600;
    zone.dst_begin = {10, 1, 0, 2};
    zone.dst_end = {4, 1, 0, 2};
    return zone;
}

COrlTimeZoneInfor NewYork()
{
    COrlTimeZoneInfor zone;
    zone.utc_bias = -18000;
    zone.b_dst = true;
    zone.daylight_bias = 3600;
    zone.dst_begin = {3, 2, 0, 2};
    zone.dst_end = {11, 1, 0, 1};
    return zone;
}

COrlTimeZoneInfor Fixed(int bias)
{
    COrlTimeZoneInfor zone;
    zone.utc_bias = bias;
    return zone;
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
        AddCamera("s1", "berlin", CentralEurope());
        AddCamera("s1", "sydney", Sydney());
        AddCamera("s2", "newyork", NewYork());
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

struct SwitchCase
{
    const char *name;
    COrlTimeZoneInfor zone;
    int64_t t;
    const char *local;
};

class DaylightSwitchTest : public ::testing::TestWithParam<SwitchCase>
{};

TEST_P(DaylightSwitchTest, LocalTimeOnBothSidesOfTheSwitch)
{
    const SwitchCase &c = GetParam();
    EXPECT_EQ(CMTZTimeConvert::TimeTtoLocalTime(c.t, c.zone), c.local) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Zones, DaylightSwitchTest,
    ::testing::Values(
        SwitchCase{"berlin before spring", CentralEurope(), 1774745999, "2026-03-29T01:59:59"},
        SwitchCase{"berlin at spring", CentralEurope(), 1774746000, "2026-03-29T03:00:00"},
        SwitchCase{"berlin before autumn", CentralEurope(), 1792889999, "2026-10-25T02:59:59"},
        SwitchCase{"berlin at autumn", CentralEurope(), 1792890000, "2026-10-25T02:00:00"},
        SwitchCase{"sydney before april", Sydney(), 1775318399, "2026-04-05T02:59:59"},
        SwitchCase{"sydney at april", Sydney(), 1775318400, "2026-04-05T02:00:00"},
        SwitchCase{"sydney before october", Sydney(), 1791043199, "2026-10-04T01:59:59"},
        SwitchCase{"sydney at october", Sydney(), 1791043200, "2026-10-04T03:00:00"},
        SwitchCase{"sydney january is summer", Sydney(), 1768478400, "2026-01-15T23:00:00"},
        SwitchCase{"new york before march", NewYork(), 1772953199, "2026-03-08T01:59:59"},
        SwitchCase{"new york at march", NewYork(), 1772953200, "2026-03-08T03:00:00"},
        SwitchCase{"new york before november", NewYork(), 1793512799, "2026-11-01T01:59:59"},
        SwitchCase{"new york at november", NewYork(), 1793512800, "2026-11-01T01:00:00"},
        SwitchCase{"no daylight rule", Fixed(19800), 1796450400, "2026-12-05T11:30:00"},
        SwitchCase{"dst flag without valid rules",
                   [] {
                       COrlTimeZoneInfor zone = CentralEurope();
                       zone.dst_begin.month = 13;
                       return zone;
                   }(),
                   1784000000, "2026-07-14T04:33:20"}));

TEST(MTZTimeConvert, DstDatesOfAYear)
{
    int64_t begin = 0, end = 0;
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(CentralEurope(), 126, begin, end));
    EXPECT_EQ(begin, 1774746000);
    EXPECT_EQ(end, 1792890000);
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(Sydney(), 126, begin, end));
    EXPECT_EQ(begin, 1791043200);
    EXPECT_EQ(end, 1775318400);
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(NewYork(), 126, begin, end));
    EXPECT_EQ(begin, 1772953200);
    EXPECT_EQ(end, 1793512800);
    // 2024 is a leap year whose last Sunday of March is the 31st: 01:00 UTC.
    ASSERT_TRUE(CMTZTimeConvert::GetDstDate(CentralEurope(), 124, begin, end));
    EXPECT_EQ(begin, 1711846800);

    begin = end = 7;
    EXPECT_FALSE(CMTZTimeConvert::GetDstDate(Fixed(3600), 126, begin, end));
    COrlTimeZoneInfor broken = CentralEurope();
    broken.dst_end.week = 0;
    EXPECT_FALSE(CMTZTimeConvert::GetDstDate(broken, 126, begin, end));
    EXPECT_EQ(begin, 7);
}

TEST(MTZTimeConvert, LocalReadingsAroundTheSwitches)
{
    const COrlTimeZoneInfor berlin = CentralEurope();
    // 02:30 on 25 October 2026 happens twice: the summer-time one is taken.
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1792895400), 1792888200);
    // 02:30 on 29 March 2026 never happens: read as standard time, i.e. 03:30 summer time.
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1774751400), 1774747800);
    // Plain readings on either side.
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1796450400), 1796450400 - 3600);
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(berlin, 1784000000), 1784000000 - 7200);
    EXPECT_EQ(CMTZTimeConvert::LocalToUtc(Sydney(), 1768478400 + 11 * 3600), 1768478400);
}

TEST_F(MTZTimeConvertTest, ClientTimeKeepsLocalAndDifferenceApart)
{
    std::string local, difference;
    ASSERT_TRUE(CMTZTimeConvert::GetClientTimeLocalAddDiff(local, difference, 1796450400));
    EXPECT_EQ(local, "2026/12/05 14:00:00");
    EXPECT_EQ(difference, "(UTC+08:00)");

    OrlPluginManager::SysConfigResult config;
    config.client_time_zone = NewYork();
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
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1774745999, 0, TestKit::CameraKey("s1", "berlin")),
              "2026-03-29T01:59:59+01:00");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1774746000, 0, TestKit::CameraKey("s1", "berlin")),
              "2026-03-29T03:00:00+02:00");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1796450400, 0, TestKit::CameraKey("s2", "kolkata")),
              "2026-12-05T11:30:00+05:30");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1796450400, 1, TestKit::CameraKey("s2", "kolkata")),
              "2026-12-05T06:00:00Z");
    // Not listed (wrong site): the client's zone.
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(1796450400, 0, TestKit::CameraKey("s2", "berlin")),
              "2026-12-05T14:00:00+08:00");
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(-5, 0, TestKit::CameraKey("s1", "berlin")), "");

    COrlTimeZoneInfor zone;
    EXPECT_TRUE(CMTZTimeConvert::GetDeviceTimeZoneInfor(TestKit::CameraKey("s1", "sydney"), zone));
    EXPECT_EQ(zone.utc_bias, 36000);
    EXPECT_FALSE(CMTZTimeConvert::GetDeviceTimeZoneInfor(TestKit::CameraKey("", ""), zone));
    EXPECT_EQ(zone.utc_bias, 8 * 3600);
}

TEST_F(MTZTimeConvertTest, ZeroTimeReadOnTheChosenClock)
{
    // 2026-12-05 14:00:00 as a wall-clock reading.
    const int64_t reading = 1796450400 + 8 * 3600;
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, TestKit::CameraKey("s1", "berlin"), 0),
              1796450400);
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, TestKit::CameraKey("s1", "berlin"), 1),
              1796450400 + 7 * 3600);
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, TestKit::CameraKey("s1", "sydney"), 1),
              1796450400 + 8 * 3600 - 11 * 3600);
    EXPECT_EQ(CMTZTimeConvert::SwitchZeroTimet(reading, TestKit::CameraKey("s2", "newyork"), 1),
              1796450400 + 13 * 3600);
    // Round trip through the device's ISO text.
    const int64_t t =
        CMTZTimeConvert::SwitchZeroTimet(1792895400, TestKit::CameraKey("s1", "berlin"), 1);
    EXPECT_EQ(CMTZTimeConvert::TimeT2ISOTime(t, 0, TestKit::CameraKey("s1", "berlin")),
              "2026-10-25T02:30:00+02:00");
}

TEST_F(MTZTimeConvertTest, ClientZoneComesFromTheConfiguration)
{
    COrlTimeZoneInfor zone;
    ASSERT_TRUE(CMTZTimeConvert::GetClientTimeZoneInfor(zone));
    EXPECT_EQ(zone.utc_bias, 8 * 3600);
    EXPECT_FALSE(zone.b_dst);
}

TEST(MTZTimeConvert, TextForms)
{
    EXPECT_EQ(CMTZTimeConvert::FormatLocalTime(0), "1970/01/01 00:00:00");
    EXPECT_EQ(CMTZTimeConvert::FormatLocalTime(-1), "1969/12/31 23:59:59");
    EXPECT_EQ(CMTZTimeConvert::FormatLocalTime(951782400), "2000/02/29 00:00:00");
    EXPECT_EQ(CMTZTimeConvert::FormatDifference(-12600), "(UTC-03:30)");
    EXPECT_EQ(CMTZTimeConvert::FormatDifference(0), "(UTC+00:00)");
    EXPECT_EQ(CMTZTimeConvert::TimeTtoLocalTime(-1, Fixed(0)), "");
}

} // namespace
