#include "search/CommonFunction.h"

#include "lattice/NewInfoDlg.h"
#include "playcontroller/MTZTimeConvert.h"
#include "pluginmanager/PluginManager.h"
#include "resources/Resources.h"
#include "testkit/TestKit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QSet>
#include <QTranslator>

using namespace TeskVideoSearch;
using OrlPluginManager::COrlTimeZoneInfor;

namespace {

constexpr int64_t kDec5At6Utc = 1796450400; // 2026-12-05 06:00:00 UTC

COrlTimeZoneInfor Zone(int bias)
{
    COrlTimeZoneInfor zone;
    zone.utc_bias = bias;
    return zone;
}

PlaybackFilePtr File(int64_t begin, int64_t end, const std::string &iso_begin = {},
                     const std::string &iso_end = {})
{
    auto file = std::make_shared<CPlaybackFile>(begin, end, "rec");
    file->SetFileISOBeginTime(iso_begin);
    file->SetFileISOEndTime(iso_end);
    return file;
}

// Translates the keys the tests read, in the QObject context only.
class KeyTranslator : public QTranslator
{
public:
    QMap<QString, QString> texts;
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (QLatin1String(context) != QLatin1String("QObject"))
            return {};
        return texts.value(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

class CommonFunctionTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TeskResources::Register(); }

    void SetUp() override
    {
        auto &directory = OrlPluginManager::CCameraDirectory::Instance();
        directory.Clear();
        OrlPluginManager::SysConfigResult config;
        config.client_time_zone = Zone(8 * 3600);
        directory.SetGeneralConfig(config);
        AddCamera("s1", "berlin", "Berlin gate", Zone(3600));
        AddCamera("s1", "kolkata", "Kolkata hall", Zone(19800));
        Lattice::CNewInfoDlg::ClearShownTexts();
    }
    void TearDown() override
    {
        OrlPluginManager::CCameraDirectory::Instance().Clear();
        Lattice::CNewInfoDlg::CloseAll();
        Lattice::CNewInfoDlg::ClearShownTexts();
    }

    static void AddCamera(const std::string &site, const std::string &id, const std::string &name,
                          const COrlTimeZoneInfor &zone)
    {
        OrlPluginManager::Camera camera;
        camera.site_id = site;
        camera.id = id;
        camera.name = name;
        camera.time_zone = zone;
        OrlPluginManager::CCameraDirectory::Instance().AddCamera(camera);
    }
};

TEST(CommonFunction, East8ReadingOfShortAndOddTexts)
{
    const std::pair<const char *, int64_t> cases[] = {
        {"", 0},
        {"1970-01-01T08:00:0", 0}, // 18 characters
        {"1970-01-01 08:00:00.999Z", 0},
        {"2026-12-05T14:00:00-03:00", kDec5At6Utc},
        {"2026-12-05T14:00:00Zjunk", kDec5At6Utc},
        {"2026/12/05 14:00:00", -1},
        {"2026-02-30T14:00:00", -1},
        {"1970-01-01T07:59:59", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CCommonFunction::SwitchISOTimeToEast8ZoneTime(c.first), c.second) << c.first;
}

TEST(CommonFunction, TimeSliderFileIndex)
{
    EXPECT_EQ(
        CCommonFunction::GetTimeSliderFileIndex(CCommonFunction::CreateTimeSliderFileIndex(3, 12)),
        qMakePair(3, 12));
    // Malformed parts read as 0.
    const std::pair<const char *, QPair<int, int>> cases[] = {
        {"abc-7", {0, 7}},   {"", {0, 0}},        {"5", {5, 5}},
        {"1-2-3", {1, 3}},   {" 4 - 9 ", {4, 9}}, {"2147483648-1", {0, 1}},
        {"1.5-2e3", {0, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CCommonFunction::GetTimeSliderFileIndex(c.first), c.second) << c.first;
}

TEST_F(CommonFunctionTest, TagIconsAreDrawnFromTheResourceCollection)
{
    // Each colour's flag has a banner of its own colour.
    QSet<QRgb> banners;
    for (int choice : {TagChoiceRed, TagChoiceBlue, TagChoiceGreen, TagChoiceYellow}) {
        const QPixmap icon =
            CCommonFunction::GetTypeIconByTagType(static_cast<VideoSearchTagType>(choice));
        ASSERT_FALSE(icon.isNull()) << choice;
        EXPECT_EQ(icon.size() / icon.devicePixelRatio(), QSize(16, 16));
        const qreal ratio = icon.devicePixelRatio();
        banners.insert(icon.toImage().pixel(int(7 * ratio), int(4 * ratio)) & 0xffffff);
    }
    EXPECT_EQ(banners.size(), 4);
    EXPECT_FALSE(CCommonFunction::GetTypeIconByTagType(TagChoiceAll).isNull());
    EXPECT_TRUE(CCommonFunction::GetTypeIconByTagType(TagTypeManual).isNull());
    EXPECT_TRUE(CCommonFunction::GetTypeIconByTagType(TagTypeInvalid).isNull());
    // The cache hands out the same drawing every time.
    EXPECT_EQ(CCommonFunction::GetTypeIconByTagType(TagChoiceRed).cacheKey(),
              CCommonFunction::GetTypeIconByTagType(TagChoiceRed).cacheKey());
}

TEST(CommonFunction, ViewButtonPicturesExistAndMirrorRightToLeft)
{
    TeskResources::Register();
    for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        QGuiApplication::setLayoutDirection(direction);
        for (const bool list : {false, true}) {
            for (const bool normal : {false, true}) {
                const QString path = CCommonFunction::GetThumbnailListBtnImage(list, normal);
                EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
                EXPECT_EQ(path.contains("arbaric"), direction == Qt::RightToLeft);
            }
        }
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

TEST_F(CommonFunctionTest, ZonesTimeOnEitherClock)
{
    EXPECT_EQ(CCommonFunction::GetZonesTimeByTimeType("", kDec5At6Utc, false,
                                                      OrlSearchTimeType::ClientTime),
              "2026/12/05 14:00:00");
    EXPECT_EQ(CCommonFunction::GetZonesTimeByTimeType("", kDec5At6Utc, true,
                                                      OrlSearchTimeType::ClientTime),
              "2026/12/05 14:00:00(UTC+08:00)");
    // The device's clock comes from the file's own ISO text, not from the time value.
    EXPECT_EQ(CCommonFunction::GetZonesTimeByTimeType("2026-12-05T07:00:00+01:00", 0, true,
                                                      OrlSearchTimeType::DeviceTime),
              "2026/12/05 07:00:00(UTC+01:00)");
    EXPECT_EQ(CCommonFunction::GetZonesTimeByTimeType("not a time", kDec5At6Utc, true,
                                                      OrlSearchTimeType::DeviceTime),
              "");
    EXPECT_EQ(CCommonFunction::GetZonesTimeByTimeType("", -1, true, OrlSearchTimeType::ClientTime),
              "");
}

TEST_F(CommonFunctionTest, FileTimeRangeAndStart)
{
    const PlaybackFileVector files = {
        File(kDec5At6Utc, kDec5At6Utc + 600, "2026-12-05T07:00:00+01:00",
             "2026-12-05T07:10:00+01:00"),
        File(kDec5At6Utc + 600, kDec5At6Utc + 3600, "2026-12-05T07:10:00+01:00",
             "2026-12-05T08:00:00+01:00")};
    EXPECT_EQ(
        CCommonFunction::GetPlaybackFileTimeRange({OrlSearchTimeType::ClientTime, false}, files),
        "2026/12/05 14:00:00 - 2026/12/05 15:00:00");
    EXPECT_EQ(
        CCommonFunction::GetPlaybackFileTimeRange({OrlSearchTimeType::DeviceTime, true}, files),
        "2026/12/05 07:00:00(UTC+01:00) - 2026/12/05 08:00:00(UTC+01:00)");
    EXPECT_EQ(CCommonFunction::GetPlaybackFileTimeRange({OrlSearchTimeType::ClientTime, true}, {}),
              "");
    EXPECT_EQ(CCommonFunction::GetPlaybackFileTimeRange({OrlSearchTimeType::ClientTime, true},
                                                        {files[0], nullptr}),
              "");

    QString start = "untouched", range = "untouched";
    CCommonFunction::GetStartTimeAndRange(start, range, {nullptr, files[1]},
                                          {OrlSearchTimeType::ClientTime, true});
    EXPECT_EQ(start, "untouched");
    EXPECT_EQ(range, "untouched");
    CCommonFunction::GetStartTimeAndRange(start, range, files,
                                          {OrlSearchTimeType::DeviceTime, true});
    EXPECT_EQ(start, "20261205070000");
    EXPECT_EQ(range, "2026/12/05 07:00:00(UTC+01:00) - 2026/12/05 08:00:00(UTC+01:00)");
}

TEST_F(CommonFunctionTest, TimeBarSpanOverSeveralCameras)
{
    const int64_t hour = 3600;
    // Wall-clock readings 2026-12-05 14:00 and 18:00 counted as UTC.
    const int64_t start = kDec5At6Utc + 8 * hour;
    const int64_t end = start + 4 * hour;
    struct Case
    {
        const char *name;
        OrlSearchTimeType::TimeType search, result;
        QVector<CResourceKey> cameras;
        QPair<int64_t, int64_t> expected;
    };
    const QVector<CResourceKey> both = {TestKit::CameraKey("s1", "berlin"),
                                        TestKit::CameraKey("s1", "kolkata")};
    const QVector<CResourceKey> kolkata_first = {both[1], both[0]};
    const auto device = OrlSearchTimeType::DeviceTime;
    const auto client = OrlSearchTimeType::ClientTime;
    const Case cases[] = {
        // Device readings: Kolkata's 14:00 comes first, Berlin's 18:00 last; both are shown as
        // those readings on the bar's clock.
        {"device to device", device, device, both, qMakePair(start - 8 * hour, end - 8 * hour)},
        {"device to client", device, client, both, qMakePair(start - 5 * hour - 1800, end - hour)},
        {"client to client", client, client, both, qMakePair(start, end)},
        // Client instants shown on the first camera's clock (Berlin, one hour east of UTC).
        {"client to device", client, device, both,
         qMakePair(start + hour - 8 * hour, end + hour - 8 * hour)},
        {"client to device, Kolkata first", client, device, kolkata_first,
         qMakePair(start + 5 * hour + 1800 - 8 * hour, end + 5 * hour + 1800 - 8 * hour)},
        {"no cameras", device, device, QVector<CResourceKey>(), qMakePair(start, end)},
    };
    for (const Case &c : cases) {
        CTimeProgressRangeParam param;
        param.SetVal_search_start_time(start);
        param.SetVal_search_end_time(end);
        param.SetVal_search_time_type(c.search);
        param.SetVal_result_time_type(c.result);
        param.SetVal_qvc_camera_keys(c.cameras);
        EXPECT_EQ(CCommonFunction::SwitchSearchTimeRangeForTimeProgress(param), c.expected)
            << c.name;
    }
}

TEST_F(CommonFunctionTest, PermissionCheckShowsTheTipWithCameraAndPermission)
{
    KeyTranslator translator;
    translator.texts = {{"%HasNo%PermissionsVxBkhrUAqZ", "%1 has no %2 permission"},
                        {"Download", "download"},
                        {"Playback", "playback"}};
    QCoreApplication::installTranslator(&translator);

    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    directory.SetPermissionDenied("s1", "berlin", ResourceData::PermissionDownload, true);

    CCameraPermissionParam param;
    param.SetVal_site_id("s1");
    param.SetVal_camera_id("berlin");
    param.SetVal_permissinon_type(ResourceData::PermissionPlayback);
    EXPECT_TRUE(CCommonFunction::IsCameraPermissionValid(param, nullptr));
    EXPECT_TRUE(Lattice::CNewInfoDlg::ShownTexts().isEmpty());

    param.SetVal_permissinon_type(ResourceData::PermissionDownload);
    EXPECT_FALSE(CCommonFunction::IsCameraPermissionValid(param, nullptr));
    EXPECT_EQ(Lattice::CNewInfoDlg::ShownTexts(),
              QStringList{"Berlin gate has no download permission"});

    // Denied on a camera the directory does not list: refused without a tip.
    Lattice::CNewInfoDlg::ClearShownTexts();
    directory.SetPermissionDenied("s9", "ghost", ResourceData::PermissionDownload, true);
    param.SetVal_site_id("s9");
    param.SetVal_camera_id("ghost");
    EXPECT_FALSE(CCommonFunction::IsCameraPermissionValid(param, nullptr));
    EXPECT_TRUE(Lattice::CNewInfoDlg::ShownTexts().isEmpty());

    // Same camera identifier on another site is another camera.
    param.SetVal_site_id("s2");
    param.SetVal_camera_id("berlin");
    CCommonFunction::ShowCameraPermissionTip(param, nullptr);
    EXPECT_TRUE(Lattice::CNewInfoDlg::ShownTexts().isEmpty());

    // A host that cannot list cameras shows nothing.
    directory.SetCameraListAvailable(false);
    param.SetVal_site_id("s1");
    CCommonFunction::ShowCameraPermissionTip(param, nullptr);
    EXPECT_TRUE(Lattice::CNewInfoDlg::ShownTexts().isEmpty());

    QCoreApplication::removeTranslator(&translator);
}

} // namespace
