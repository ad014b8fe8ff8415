#pragma once

#include "recordserver/Catalogue.h"
#include "recordserver/SampleGenerator.h"

#include "playcontroller/RecordingSource.h"

#include <QImage>

#include <atomic>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace teskrecordserver {

// The embedded recording server: answers the playback-controller services from a store
// directory (the catalogue "catalogue.db" and the media files beside it) and fills the host
// services with its cameras, permissions, configuration and record plans.
//
//   CStoreStatus status;
//   auto server = CRecordingServer::StartDefault(status); // default store, published, installed
//   auto pictures = server->Catalogue().CapturePictures(site, camera, begin, end);
//   server->LoadCapturePicture(pictures.front(), image, error);
//   server->ExportCapturePictures(site, camera, begin, end, "/tmp/pictures", nullptr, error);
class CRecordingServer : public teskplaycontroller::IRecordingSource
{
public:
    static constexpr const char *kCatalogueFile = "catalogue.db";
    // Results of a VCA search are handed over in batches of this size.
    static constexpr int kVcaBatchSize = 25;

    CRecordingServer();
    ~CRecordingServer() override;

    // $TESK_DATA_DIR/store, or <generic data location>/TeskVideoSearch/store.
    static std::string DefaultStoreDir();

    // Opens the store in `dir`, creating the directory and, when `generate` is set and the
    // catalogue holds no sample yet, generating one with `options`.
    CStoreStatus Open(const std::string &dir,
                      const GeneratorOptions &options = GeneratorOptions::Default(),
                      bool generate = true);
    const std::string &StoreDir() const;
    CRecordCatalogue &Catalogue();
    const CRecordCatalogue &Catalogue() const;

    // Fills the plug-in manager's camera directory (cameras, permission denials, general
    // configuration) and the playback-parameter registry (record plans).
    void PublishToHost() const;
    // Makes `server` the recording source of every playback-controller service and the
    // provider of the host's time-lapse requests.
    static void Install(const std::shared_ptr<CRecordingServer> &server);
    // Opens (creating on first use) the default store, publishes and installs it; null with
    // `status` set on failure.
    static std::shared_ptr<CRecordingServer> StartDefault(CStoreStatus &status);

    // Absolute path of a store-relative file.
    std::string StorePath(const std::string &relative) const;
    // The picture of a capture-plan entry (a JPEG file, or a frame of a media file).
    bool LoadCapturePicture(const CapturePictureRow &picture, QImage &out,
                            std::string &error) const;
    // Writes the capture-plan pictures of a camera taken in [begin, end] into `dir` as "0.jpg",
    // "1.jpg", … in time order, skipping (and logging) pictures that cannot be read. Stops
    // early once `stop` turns true. The number of files written, or -1 with `error` set when
    // the directory or a file cannot be written.
    int ExportCapturePictures(const std::string &site_id, const std::string &camera_id,
                              int64_t begin, int64_t end, const std::string &dir,
                              const std::atomic<bool> *stop, std::string &error) const;

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
    std::string dir_;
    CRecordCatalogue catalogue_;
    std::map<std::pair<std::string, std::string>, RecordPlanRow> plans_;
};

} // namespace teskrecordserver
