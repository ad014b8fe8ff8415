#pragma once

// Small builders shared by the tests, benchmarks and tools, so that a camera key, a search
// condition, a list of recordings or a sample store is made one way everywhere.

#include "playcontroller/ResourceKey.h"
#include "playcontroller/SearchCondition.h"
#include "recordserver/RecordingServer.h"
#include "recordserver/SampleGenerator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace TestKit {

// A camera as the services address it: site first, then the camera's own id.
struct CameraRef
{
    std::string site;
    std::string id;
};

teskplaycontroller::CResourceKey CameraKey(const std::string &site, const std::string &id);
teskplaycontroller::CTeskCameraInfo CameraInfo(const std::string &site, const std::string &id);

// A camera search over [begin, end] for the given cameras.
teskplaycontroller::CCameraVideoSearchCondition
CameraSearchCondition(const std::string &guid, teskplaycontroller::VideoSearchType type,
                      const std::vector<CameraRef> &cameras, int64_t begin = 1000,
                      int64_t end = 90000);

// The cameras that the host's directory lists (those of a published store, say), in its order.
std::vector<CameraRef> DirectoryCameras();

// A VCA search of one camera; `number` tells successive searches apart.
teskplaycontroller::CVCAIncrementalCondition
VCASearchCondition(const std::string &guid, int number, const CameraRef &camera = {"s1", "c1"},
                   teskplaycontroller::VCASearchType type = teskplaycontroller::VCASearchMotion);

// `count` device recordings back to back from `first_begin`, `length` seconds each, named f0,
// f1, …
teskplaycontroller::PlaybackFileList DeviceFiles(int count, int64_t first_begin = 1000,
                                                 int64_t length = 60);

// A sample store small enough to generate in a test: two sites, short low-rate clips, a few
// hours of captured pictures; the caller sets how many cameras and days, and when they end.
teskrecordserver::GeneratorOptions SmallStoreOptions(int cameras, int days, int64_t anchor,
                                                     uint64_t seed);

// Opens (generating when new) the store in `dir`; null, with the reason in `error`, when it
// cannot be opened.
std::shared_ptr<teskrecordserver::CRecordingServer>
OpenStore(const std::string &dir, const teskrecordserver::GeneratorOptions &options,
          std::string &error);

} // namespace TestKit
