#pragma once

// Small builders shared by the tests, benchmarks and tools, so that a camera key or a search
// condition is made one way everywhere.

#include "playcontroller/ResourceKey.h"
#include "playcontroller/SearchCondition.h"

#include <cstdint>
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

} // namespace TestKit
