#include "SampleGenerator.h"

#include "recordserver/TimeStrip.h"

#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace teskrecordserver {

using OrlPluginManager::COrlTimeZoneInfor;
using OrlPluginManager::DstTransition;
namespace TimeUtil = Quor::Base::TimeUtil;

namespace {

int WeekdayOf(int64_t days)
{
    return static_cast<int>(((days % 7) + 7 + 4) % 7); // 1970-01-01 was a Thursday
}

// Day number of a transition rule in `year`; week 5 (or a week past the month) is the last.
int64_t TransitionDay(int year, const DstTransition &rule)
{
    const unsigned month = static_cast<unsigned>(std::clamp(rule.month, 1, 12));
    const int64_t first = TimeUtil::DaysFromCivil(year, month, 1);
    const int64_t next = month == 12 ? TimeUtil::DaysFromCivil(year + 1, 1, 1)
                                     : TimeUtil::DaysFromCivil(year, month + 1, 1);
    int64_t day = first + (rule.weekday - WeekdayOf(first) + 7) % 7;
    day += 7 * (std::clamp(rule.week, 1, 5) - 1);
    while (day >= next)
        day -= 7;
    return day;
}

// A small deterministic generator (splitmix64): the same seed gives the same numbers on every
// platform, which the standard distributions do not promise.
class Random
{
public:
    explicit Random(uint64_t seed)
        : state_(seed)
    {}
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int64_t Range(int64_t low, int64_t high)
    {
        return high <= low ? low : low + static_cast<int64_t>(Next() % uint64_t(high - low + 1));
    }
    bool Chance(int percent) { return Range(0, 99) < percent; }

private:
    uint64_t state_;
};

const char *const kCameraNames[] = {"Entrance",    "Lobby",     "Car Park North", "Car Park South",
                                    "Loading Bay", "Reception", "Corridor A",     "Corridor B",
                                    "Warehouse",   "Stairwell", "Roof",           "Gate",
                                    "Server Room", "Cafeteria", "Parking Exit",   "Back Door"};
const char *const kAreaNames[] = {"Ground floor", "First floor", "Outside", "Basement"};
const char *const kManualTags[] = {"Suspicious person", "Delivery", "Check later", "Visitor"};
const char *const kEventTags[] = {"Motion alarm", "Line crossing", "Intrusion", "Alarm input 1"};
const char *const kOtherTags[] = {"Imported", "Shift change", "Maintenance"};
const char *const kColours[] = {"#e84c3d", "#3498db", "#2ecc71", "#f1c40f", "#9b59b6"};

template<size_t N>
const char *Pick(Random &random, const char *const (&list)[N])
{
    return list[random.Range(0, N - 1)];
}

// The three device zones of the sample: UTC, Central Europe with daylight saving, and +09:30.
COrlTimeZoneInfor SampleZone(int index)
{
    COrlTimeZoneInfor zone;
    switch (index % 3) {
    case 0:
        break;
    case 1:
        zone.utc_bias = 3600;
        zone.b_dst = true;
        zone.daylight_bias = 3600;
        zone.dst_begin = {3, 5, 0, 2};
        zone.dst_end = {10, 5, 0, 2};
        break;
    default:
        zone.utc_bias = 9 * 3600 + 1800;
        break;
    }
    return zone;
}

std::string Hex(uint64_t value, int digits)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = kDigits[value & 0xf];
    return text;
}

std::string CompactLocalTime(int64_t utc, const COrlTimeZoneInfor &zone)
{
    std::string iso = IsoInZone(utc, zone).substr(0, 19);
    iso.erase(std::remove_if(iso.begin(), iso.end(), [](char c) { return c == '-' || c == ':'; }),
              iso.end());
    return iso;
}

void FillSpan(FileRow &row, int64_t begin, int64_t end, const COrlTimeZoneInfor &zone)
{
    row.begin = begin;
    row.end = end;
    row.iso_begin = IsoInZone(begin, zone);
    row.iso_end = IsoInZone(end, zone);
}

QImage CapturePicture(const CameraRow &camera, int64_t time, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    const int hue = static_cast<int>(time / 3600 % 24) * 15;
    image.fill(QColor::fromHsv(hue, 100, 120));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((hue + 180) % 360, 200, 230));
    const int x = static_cast<int>(time / 600 % 10) * width / 10;
    painter.drawRect(x, height / 3, width / 10, height / 3);
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        painter.setPen(Qt::white);
        painter.drawText(
            image.rect().adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
            QString::fromStdString(camera.name + "\n" + IsoInZone(time, camera.time_zone)));
    }
    painter.end();
    DrawTimeStrip(image, time);
    return image;
}

struct Generator
{
    CRecordCatalogue &catalogue;
    QDir store;
    const GeneratorOptions &options;
    int64_t period_begin = 0;
    int64_t period_end = 0;
    std::vector<int64_t> media_ids; // by camera index

    CStoreStatus Run();
    CStoreStatus AddMedia(const std::vector<CameraRow> &cameras);
    CStoreStatus FillCamera(const CameraRow &camera, int index);
    CStoreStatus FillCaptures(const CameraRow &camera, int index,
                              const std::vector<RecordingRow> &recordings);
};

CStoreStatus Generator::AddMedia(const std::vector<CameraRow> &cameras)
{
    // The media itself is generated when first asked for (CMediaCache); the catalogue names
    // each camera's media and its format.
    for (const CameraRow &camera : cameras) {
        MediaFileRow media;
        media.path = CameraMediaPath(camera);
        media.duration = 0;
        media.width = options.clip_width;
        media.height = options.clip_height;
        if (auto status = catalogue.AddMediaFile(media); !status)
            return status;
        media_ids.push_back(media.id);
    }
    auto status = catalogue.SetMeta("media_width", std::to_string(options.clip_width));
    if (status)
        status = catalogue.SetMeta("media_height", std::to_string(options.clip_height));
    if (status)
        status = catalogue.SetMeta("media_fps", std::to_string(options.clip_fps));
    return status;
}

CStoreStatus Generator::FillCamera(const CameraRow &camera, int index)
{
    Random random(options.seed * 1000003ULL + static_cast<uint64_t>(index) * 7777ULL + 17);
    std::vector<RecordingRow> recordings;
    int forced_tag = 0;
    int forced_event = 0;
    bool locked_any = false;
    int tag_number = 0;

    int64_t t = period_begin + random.Range(0, 1800);
    while (t < period_end - 60) {
        const int64_t length =
            random.Range(options.min_recording_minutes * 60, options.max_recording_minutes * 60);
        const int64_t end = std::min(period_end, t + length);
        RecordingRow recording;
        FillSpan(recording, t, end, camera.time_zone);
        recording.file_name = camera.id + "_" + CompactLocalTime(t, camera.time_zone) + ".mp4";
        recording.file_size = (end - t) * random.Range(180, 500) * 1024 / 8 * 8;
        const int kind = static_cast<int>(random.Range(0, 9));
        recording.record_file_type = kind < 7 ? 0 : (kind < 8 ? 1 : 2);
        recording.media_id = media_ids[static_cast<size_t>(index)];
        if (auto status = catalogue.AddRecording(camera.key, recording); !status)
            return status;
        const int64_t span = end - t;

        if (forced_tag < 3 || random.Chance(15)) {
            static const int kTypes[] = {101, 102, 103};
            TagRow tag;
            tag.recording_id = recording.id;
            tag.label_type = forced_tag < 3 ? kTypes[forced_tag++] : kTypes[random.Range(0, 2)];
            tag.label_id = Hex(random.Next(), 16);
            tag.name = tag.label_type == 101   ? Pick(random, kManualTags)
                       : tag.label_type == 102 ? Pick(random, kEventTags)
                                               : Pick(random, kOtherTags);
            tag.name += " " + std::to_string(++tag_number);
            tag.description = "Recorded by " + camera.name;
            tag.color = Pick(random, kColours);
            const int64_t begin = t + random.Range(0, span / 2);
            FillSpan(tag, begin, std::min(end, begin + random.Range(10, 300)), camera.time_zone);
            if (auto status = catalogue.AddTag(camera.key, tag); !status)
                return status;
        }
        if ((!locked_any && recordings.size() == 5) || random.Chance(3)) {
            FileRow lock;
            lock.recording_id = recording.id;
            FillSpan(lock, t, end, camera.time_zone);
            if (auto status = catalogue.AddLock(camera.key, lock); !status)
                return status;
            locked_any = true;
        }
        const int events = forced_event < 3 ? 1 : static_cast<int>(random.Range(0, 3));
        for (int e = 0; e < events; ++e) {
            static const int kForced[] = {1, 2, 4};
            EventRow event;
            event.recording_id = recording.id;
            if (forced_event < 3) {
                event.event_type = kForced[forced_event++];
            } else {
                const int roll = static_cast<int>(random.Range(0, 99));
                event.event_type = roll < 20 ? 1 : (roll < 65 ? 2 : 4);
            }
            const int64_t begin = t + random.Range(0, std::max<int64_t>(0, span - 60));
            FillSpan(event, begin, std::min(end, begin + random.Range(5, 60)), camera.time_zone);
            if (auto status = catalogue.AddEvent(camera.key, event); !status)
                return status;
        }
        recordings.push_back(std::move(recording));

        const int gap_kind = static_cast<int>(random.Range(0, 99));
        const int64_t gap = gap_kind < 70   ? random.Range(0, 120)
                            : gap_kind < 90 ? random.Range(300, 1800)
                                            : random.Range(3600, 6 * 3600);
        t = end + gap;
    }
    return FillCaptures(camera, index, recordings);
}

CStoreStatus Generator::FillCaptures(const CameraRow &camera, int index,
                                     const std::vector<RecordingRow> &recordings)
{
    if (index == SampleRoles::kJpegCaptures && options.jpeg_capture_hours > 0) {
        const QString folder = QStringLiteral("pictures/") + QString::fromStdString(camera.id);
        if (!store.mkpath(folder))
            return CStoreStatus::Fail(StoreError::Io, "Cannot create " + folder.toStdString());
        const int64_t first = period_end - int64_t(options.jpeg_capture_hours) * 3600;
        for (int64_t time = first; time < period_end; time += 3600) {
            const QString relative = folder + "/" + QString::number(time) + ".jpg";
            const QImage image =
                CapturePicture(camera, time, options.clip_width, options.clip_height);
            if (!image.save(store.filePath(relative), "JPEG", 80))
                return CStoreStatus::Fail(StoreError::Io, "Cannot write " + relative.toStdString());
            CapturePictureRow picture;
            picture.time = time;
            picture.jpeg_path = relative.toStdString();
            if (auto status = catalogue.AddCapturePicture(camera.key, picture); !status)
                return status;
        }
        return CStoreStatus::Ok();
    }
    if (index % 4 != 0 || options.capture_interval_seconds <= 0)
        return CStoreStatus::Ok();
    size_t at = 0;
    const int64_t step = options.capture_interval_seconds;
    for (int64_t time = period_begin - period_begin % step + step; time < period_end;
         time += step) {
        while (at < recordings.size() && recordings[at].end <= time)
            ++at;
        if (at == recordings.size())
            break;
        const RecordingRow &recording = recordings[at];
        if (recording.begin > time)
            continue;
        CapturePictureRow picture;
        picture.time = time;
        picture.media_id = recording.media_id;
        if (auto status = catalogue.AddCapturePicture(camera.key, picture); !status)
            return status;
    }
    return CStoreStatus::Ok();
}

CStoreStatus Generator::Run()
{
    if (options.sites <= 0 || options.cameras <= 0 || options.days <= 0)
        return CStoreStatus::Fail(StoreError::Sql, "The sample needs sites, cameras and days.");
    period_end = options.anchor;
    period_begin = period_end - int64_t(options.days) * 86400;

    std::vector<SiteRow> sites;
    for (int s = 0; s < options.sites; ++s) {
        char id[16];
        std::snprintf(id, sizeof id, "S%03d", s + 1);
        sites.push_back({id, "Site " + std::to_string(s + 1)});
        if (auto status = catalogue.AddSite(sites.back()); !status)
            return status;
    }

    Random traits(options.seed);
    std::vector<CameraRow> cameras;
    for (int i = 0; i < options.cameras; ++i) {
        const SiteRow &site =
            sites[static_cast<size_t>(int64_t(i) * options.sites / options.cameras)];
        CameraRow camera;
        camera.site_id = site.id;
        char id[24];
        std::snprintf(id, sizeof id, "%s-C%03d", site.id.c_str(), i + 1);
        camera.id = id;
        camera.name = kCameraNames[i % 16];
        if (i >= 16)
            camera.name += " " + std::to_string(i / 16 + 1);
        camera.area_name = kAreaNames[i % 4];
        camera.device_id = site.id + "-D" + std::to_string(i / 4 + 1);
        camera.element_type = i % 5 == 4 ? 2 : 1;
        camera.time_zone = SampleZone(i);
        camera.stream_key = Hex(traits.Next(), 16);
        if (auto status = catalogue.AddCamera(camera); !status)
            return status;

        RecordPlanRow plan;
        plan.site_id = camera.site_id;
        plan.camera_id = camera.id;
        plan.stream_type = i % 2;
        plan.location_type = ResourceData::StorageLocationDevice;
        plan.storage_media_type = ResourceData::StorageMediaDevice;
        if (i == SampleRoles::kPerFileStorage) {
            plan.storage_media_type = ResourceData::StorageMediaPerFile;
        } else if (i % 8 == 2) {
            plan.location_type = ResourceData::StorageLocationCentral;
            plan.storage_media_type = ResourceData::StorageMediaCVR;
        } else if (i % 8 == 3) {
            plan.location_type = ResourceData::StorageLocationCentral;
            plan.storage_media_type = ResourceData::StorageMediaCloud;
        }
        if (auto status = catalogue.SetRecordPlan(plan); !status)
            return status;
        cameras.push_back(camera);
    }

    auto deny = [&](int index, int item) {
        if (index >= options.cameras)
            return CStoreStatus::Ok();
        const CameraRow &camera = cameras[static_cast<size_t>(index)];
        return catalogue.DenyPermission({camera.site_id, camera.id, item});
    };
    if (auto status = deny(SampleRoles::kNoPlayback, ResourceData::PermissionPlayback); !status)
        return status;
    if (auto status = deny(SampleRoles::kNoTagDeleteOrUnlock, ResourceData::PermissionRemoveTag);
        !status)
        return status;
    if (auto status = deny(SampleRoles::kNoTagDeleteOrUnlock, ResourceData::PermissionDeleteLock);
        !status)
        return status;

    if (options.cameras >= 8) {
        const Quor::Base::Error::ErrorCode unreachable{0x20, 0x2002};
        const Quor::Base::Error::ErrorCode no_plan{0x20, 0x2004};
        const CameraRow &second_last = cameras[cameras.size() - 2];
        const CameraRow &last = cameras.back();
        auto status =
            catalogue.SetSearchFailure(second_last.site_id, second_last.id,
                                       {2, unreachable.module_code, unreachable.error_code,
                                        OrlErrorCodeTrans::GetErrorInfoByErrorCode(unreachable)});
        if (status)
            status =
                catalogue.SetSearchFailure(last.site_id, last.id,
                                           {3, no_plan.module_code, no_plan.error_code,
                                            OrlErrorCodeTrans::GetErrorInfoByErrorCode(no_plan)});
        if (!status)
            return status;
    }

    if (auto status = AddMedia(cameras); !status)
        return status;
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (auto status = FillCamera(cameras[i], static_cast<int>(i)); !status)
            return status;
    }
    auto status = catalogue.SetMeta("seed", std::to_string(options.seed));
    if (status)
        status = catalogue.SetMeta("period_begin", std::to_string(period_begin));
    if (status)
        status = catalogue.SetMeta("period_end", std::to_string(period_end));
    if (status)
        status = catalogue.SetMeta("generated", "1");
    return status;
}

} // namespace

int DeviceOffsetAt(const COrlTimeZoneInfor &zone, int64_t utc)
{
    if (!zone.b_dst || zone.dst_begin.month == 0 || zone.dst_end.month == 0)
        return zone.utc_bias;
    int year;
    unsigned month, day;
    TimeUtil::CivilFromDays((utc + zone.utc_bias) / 86400, year, month, day);
    // Both switches are given in local standard time.
    const int64_t begin =
        TransitionDay(year, zone.dst_begin) * 86400 + zone.dst_begin.hour * 3600 - zone.utc_bias;
    const int64_t end =
        TransitionDay(year, zone.dst_end) * 86400 + zone.dst_end.hour * 3600 - zone.utc_bias;
    const bool daylight = begin < end ? (utc >= begin && utc < end) : (utc >= begin || utc < end);
    return zone.utc_bias + (daylight ? zone.daylight_bias : 0);
}

std::string IsoInZone(int64_t utc, const COrlTimeZoneInfor &zone)
{
    return TimeUtil::TimeT2ISODatetime(utc, DeviceOffsetAt(zone, utc));
}

std::string CameraMediaPath(const CameraRow &camera)
{
    return "media-cache/" + camera.site_id + "/" + camera.id;
}

int64_t EndOfUtcDay(int64_t now)
{
    return (now / 86400 + 1) * 86400;
}

GeneratorOptions GeneratorOptions::Default()
{
    return GeneratorOptions();
}

GeneratorOptions GeneratorOptions::Large()
{
    GeneratorOptions options;
    options.sites = 8;
    options.cameras = 640;
    options.min_recording_minutes = 10;
    options.max_recording_minutes = 40;
    options.capture_interval_seconds = 1800;
    return options;
}

CStoreStatus GenerateSample(CRecordCatalogue &catalogue, const std::string &store_dir,
                            const GeneratorOptions &options)
{
    GeneratorOptions effective = options;
    if (effective.anchor == 0)
        effective.anchor = EndOfUtcDay(std::chrono::duration_cast<std::chrono::seconds>(
                                           std::chrono::system_clock::now().time_since_epoch())
                                           .count());
    const auto started = std::chrono::steady_clock::now();
    // Everything in one transaction: another process opening the store meanwhile waits for the
    // finished sample, and a failure leaves the catalogue empty.
    const CStoreStatus status = catalogue.Write([&](CRecordCatalogue &self) {
        if (self.Meta("generated"))
            return CStoreStatus::Ok();
        Generator generator{self, QDir(QString::fromStdString(store_dir)), effective, 0, 0, {}};
        return generator.Run();
    });
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    if (status)
        TESK_LOG_INFO("Sample store ready in %s: %d cameras, seed %llu, %lld ms", store_dir.c_str(),
                      effective.cameras, static_cast<unsigned long long>(effective.seed),
                      static_cast<long long>(elapsed.count()));
    return status;
}

} // namespace teskrecordserver
