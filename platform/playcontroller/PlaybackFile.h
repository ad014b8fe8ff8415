#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace RecordFileType {
enum TagType : int {
    TagAll = 0,
    TagManual = 1,
    TagEventLinkage = 2,
    TagOther = 3,
};
} // namespace RecordFileType

namespace teskplaycontroller {

// One recording found by a search. The kind of a result is told by its class: CLabelFile for
// a tagged recording, CDeviceFile for a recording file of the device, CPersonVehicleFile for a
// person or vehicle detection.
class __attribute__((visibility("default"))) CPlaybackFile
{
public:
    // The file's kind as the time bar draws it.
    enum Type : int {
        TypeRegular = 0,
        TypeAlarm = 1,
        TypeMotion = 2,
        TypeTag = 3,
        TypeLock = 4,
        TypeIntelligent = 6,
    };

    // Event type of detection results: 1 person and vehicle, 2 person, 4 vehicle.
    enum EventType {
        EventNone = 0,
        EventPersonVehicle = 1,
        EventPerson = 2,
        EventVehicle = 4,
    };

    CPlaybackFile() = default;
    CPlaybackFile(int64_t begin, int64_t end, std::string name)
        : begin_(begin)
        , end_(end)
        , name_(std::move(name))
    {}
    virtual ~CPlaybackFile() = default;

    int64_t GetFileBegTime() const { return begin_; }
    int64_t GetFileEndTime() const { return end_; }
    const std::string &GetFileName() const { return name_; }
    int64_t GetFileSize() const { return size_; }
    const std::string &GetFileISOBeginTime() const { return iso_begin_; }
    const std::string &GetFileISOEndTime() const { return iso_end_; }
    int GetEventType() const { return event_type_; }
    Type GetFileType() const { return type_; }
    bool IsLocked() const { return locked_; }

    void SetFileBegTime(int64_t t) { begin_ = t; }
    void SetFileEndTime(int64_t t) { end_ = t; }
    void SetFileName(const std::string &name) { name_ = name; }
    void SetFileSize(int64_t size) { size_ = size; }
    void SetFileISOBeginTime(const std::string &iso) { iso_begin_ = iso; }
    void SetFileISOEndTime(const std::string &iso) { iso_end_ = iso; }
    void SetEventType(int type) { event_type_ = type; }
    void SetFileType(Type type) { type_ = type; }
    void SetLocked(bool locked) { locked_ = locked; }

    // A copy of the same class; used where a result is cut into segments.
    virtual std::shared_ptr<CPlaybackFile> Clone() const
    {
        return std::make_shared<CPlaybackFile>(*this);
    }

private:
    int64_t begin_ = 0;
    int64_t end_ = 0;
    std::string name_;
    int64_t size_ = 0;
    std::string iso_begin_;
    std::string iso_end_;
    int event_type_ = EventNone;
    Type type_ = TypeRegular;
    bool locked_ = false;
};

class __attribute__((visibility("default"))) CDeviceFile : public CPlaybackFile
{
public:
    using CPlaybackFile::CPlaybackFile;
    int GetRecordFileType() const { return record_file_type_; }
    void SetRecordFileType(int type) { record_file_type_ = type; }
    std::shared_ptr<CPlaybackFile> Clone() const override
    {
        return std::make_shared<CDeviceFile>(*this);
    }

private:
    int record_file_type_ = -1;
};

class __attribute__((visibility("default"))) CLabelFile : public CDeviceFile
{
public:
    using CDeviceFile::CDeviceFile;
    const std::string &GetLabelID() const { return label_id_; }
    const std::string &GetLabelName() const { return label_name_; }
    const std::string &GetLabelDesc() const { return label_desc_; }
    // 101 manual, 102 event linkage, 103 other.
    int GetRcordLabelType() const { return label_type_; }
    // The tag's colour as "#rrggbb"; empty when the device keeps none.
    const std::string &GetLabelColor() const { return label_color_; }

    void SetLabelID(const std::string &id) { label_id_ = id; }
    void SetLabelName(const std::string &name) { label_name_ = name; }
    void SetLabelDesc(const std::string &desc) { label_desc_ = desc; }
    void SetRcordLabelType(int type) { label_type_ = type; }
    void SetLabelColor(const std::string &color) { label_color_ = color; }
    std::shared_ptr<CPlaybackFile> Clone() const override
    {
        return std::make_shared<CLabelFile>(*this);
    }

private:
    std::string label_id_;
    std::string label_name_;
    std::string label_desc_;
    int label_type_ = 0;
    std::string label_color_;
};

class __attribute__((visibility("default"))) CPersonVehicleFile : public CDeviceFile
{
public:
    using CDeviceFile::CDeviceFile;
    std::shared_ptr<CPlaybackFile> Clone() const override
    {
        return std::make_shared<CPersonVehicleFile>(*this);
    }
};

} // namespace teskplaycontroller
