#pragma once

#include "recordserver/Catalogue.h"

#include "playcontroller/RecordingSource.h"

#include <string>
#include <vector>

namespace teskrecordserver {

// The media pieces that show a camera's recordings over [begin, end), from a catalogue and the
// store directory that holds its media files. False with `error` set when nothing records the
// span or a recording has no media.
bool ResolveRecordingMedia(const CRecordCatalogue &catalogue, const std::string &store_dir,
                           const teskplaycontroller::ResourceKey &camera, int64_t begin,
                           int64_t end, std::vector<teskplaycontroller::MediaPiece> &out,
                           std::string &error);

// A recording source that only exports: answers ResolveMedia from a catalogue and refuses the
// rest. For tools that need no search services and should start fast.
class CCatalogueMediaSource : public teskplaycontroller::IRecordingSource
{
public:
    // Opens "catalogue.db" in `store_dir`; never creates or generates a store.
    CStoreStatus Open(const std::string &store_dir);
    const CRecordCatalogue &Catalogue() const;

    teskplaycontroller::CameraSearchAnswer
    SearchCamera(const teskplaycontroller::CameraVideoSearchCondition &condition,
                 const teskplaycontroller::TeskCameraInfo &camera,
                 const std::atomic<bool> &cancelled) override;
    void SearchVCA(const teskplaycontroller::VCAIncrementalCondition &condition,
                   teskplaycontroller::IVCAResultSink &sink,
                   const std::atomic<bool> &cancelled) override;
    bool DecodeFrame(const teskplaycontroller::ResourceKey &camera, int64_t t, QImage &out,
                     std::string &error) override;
    bool ResolveMedia(const teskplaycontroller::ResourceKey &camera, int64_t begin, int64_t end,
                      std::vector<teskplaycontroller::MediaPiece> &out,
                      std::string &error) override;

private:
    std::string store_dir_;
    CRecordCatalogue catalogue_;
};

} // namespace teskrecordserver
