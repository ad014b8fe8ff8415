#pragma once

// Enumerations of the client's resource model shared by the host and the playback controller.

namespace ResourceData {

enum StorageLocation {
    StorageLocationCentral = 0,
    StorageLocationDevice = 1,
    StorageLocationMain = 2,
    StorageLocationAuxiliary = 3,
};

enum StorageMediaType {
    StorageMediaUnknown = -1,
    StorageMediaCVR = 1,
    StorageMediaDevice = 2,
    StorageMediaCloud = 4,
    StorageMediaPStor = 5,
    StorageMediaPerFile = 7, // every file is a segment of its own
    StorageMediaObject = 10,
    StorageMediaNVR = 11,
};

enum ResourcePermissionItem {
    PermissionPlayback = 1,
    PermissionVideoSearch = 3,
    PermissionDownload = 4,
    PermissionEditTag = 8,
    PermissionRemoveTag = 9,
    PermissionCheckTag = 10,
    PermissionDeleteLock = 13,
    PermissionSeeLock = 14,
};

enum ProductType {
    ProductTypeStandard = 1,
    ProductTypeProfessional = 2,
};

// The audit code of a search kind.
enum OrlVideoSearchType {
    OrlVideoSearchNormal = 0,
    OrlVideoSearchTag = 3,
    OrlVideoSearchLock = 4,
};

// The kind of a resource in the host's tree.
enum ResourceType {
    ResourceTypeCamera = 1001,
};

// The resource type of a camera in permission queries.
constexpr int kCameraResourceType = ResourceTypeCamera;

} // namespace ResourceData

namespace OrlSearchTimeType {
enum TimeType {
    ClientTime = 0,
    DeviceTime = 1,
};
} // namespace OrlSearchTimeType
