#pragma once

#include "recordserver/Catalogue.h"
#include "recordserver/MediaCache.h"
#include "recordserver/SampleGenerator.h"

#include "playcontroller/RecordingSource.h"

#include <QImage>

#include <atomic>

#include <map>
#include <memory>
#include <optional>
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
//
// Every picture of a recording shows the recording's own wall-clock time, as text and as a
// time strip (TimeStrip.h): the media is generated when first asked for, in pieces of
// MediaCacheOptions::chunk_seconds, into the store's "media-cache" folder (CMediaCache).
class CRecordingServer : public teskplaycontroller::IRecordingSource
{
public:
    static constexpr const char *kCatalogueFile = "catalogue.db";
    // The folder of the generated media in the store.
    static constexpr const char *kMediaCacheFolder = "media-cache";
    // Results of a VCA search are handed over in batches of this size.
    static constexpr int kVcaBatchSize = 25;

    CRecordingServer();
    ~CRecordingServer() override;

    // $TESK_DATA_DIR/store, or <generic data location>/TeskVideoSearch/store.
    static std::string DefaultStoreDir();

    // Opens the store in `dir`. A missing or empty folder gets a new store when `generate` is
    // set: generated in a private folder beside it (PartialStoreDir) and renamed into place
    // when complete, so an interrupted creation leaves no half store; folders left by creators
    // that no longer run are removed. A folder of other files, an empty path or a catalogue
    // that is foreign or damaged is refused and left untouched.
    CStoreStatus Open(const std::string &dir,
                      const GeneratorOptions &options = GeneratorOptions::Default(),
                      bool generate = true);
    // Opens an existing store for reading only: searches answer, changes fail as read-only.
    CStoreStatus OpenReadOnly(const std::string &dir);
    const std::string &StoreDir() const;
    // The media cache's bound and piece length; takes effect at the next Open.
    void SetMediaCacheOptions(const MediaCacheOptions &options);
    // The cache of the open store's media.
    CMediaCache &MediaCache();
    // The format of the open store's media.
    const MediaFormat &MediaFormatOfStore() const;
    // The folder in which process `pid` creates the store `dir`.
    static std::string PartialStoreDir(const std::string &dir, int64_t pid);
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
    // The media that shows `camera`'s recording at UTC time `t`: a piece of media whose frame
    // at lease.OffsetOf(t) is that moment. False with `error` set when no recording holds `t`
    // or the media cannot be generated.
    bool MediaAt(const teskplaycontroller::ResourceKey &camera, int64_t t, CMediaLease &lease,
                 std::string &error) const;
    // The picture of a capture-plan entry (a JPEG file, or the frame of the camera's media at
    // the picture's time).
    bool LoadCapturePicture(const CapturePictureRow &picture, QImage &out,
                            std::string &error) const;
    // Writes the capture-plan pictures of a camera taken in [begin, end] into `dir` as "0.jpg",
    // "1.jpg", … in time order, skipping (and logging) pictures that cannot be read. Stops
    // early once `stop` turns true. The number of files written, or -1 with `error` set when
    // the catalogue cannot be read, or the directory or a file cannot be written; a file that
    // exists already is never written over.
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
    // The frame of second `t` of the camera's recording: its time strip reads exactly `t`.
    bool DecodeFrame(const teskplaycontroller::ResourceKey &camera, int64_t t, QImage &out,
                     std::string &error) override;
    // MediaAt for a player: the lease travels with the media.
    bool MediaForPlay(const teskplaycontroller::ResourceKey &camera, int64_t t,
                      teskplaycontroller::RecordingMedia &out, std::string &error) override;
    // A plausible track for a camera that moves (a body camera): a slow loop around a point
    // picked by the camera, the same for the same camera and time. Any camera of the store has
    // one; the player asks only for cameras that carry a receiver.
    bool TrackPointAt(const teskplaycontroller::ResourceKey &camera, int64_t t, double &longitude,
                      double &latitude) override;
    bool ResolveMedia(const teskplaycontroller::ResourceKey &camera, int64_t begin, int64_t end,
                      std::vector<teskplaycontroller::MediaPiece> &out,
                      std::string &error) override;
    // Tag modification and deletion, lock and unlock: one transaction each, with a row of the
    // change log; a failure changes nothing.
    bool OperateLabel(const teskplaycontroller::OperatLabelParam &param,
                      teskplaycontroller::CChangeClaim &claim, std::string &error) override;
    bool LockAndUnlockRecord(const teskplaycontroller::LockRecordFileParam &param,
                             teskplaycontroller::CChangeClaim &claim, std::string &error) override;

private:
    void LoadStoreState();
    bool CameraMedia(const CameraRow &camera, int64_t t, CMediaLease &lease,
                     std::string &error) const;
    bool CameraFrame(const CameraRow &camera, int64_t t, QImage &out, std::string &error) const;
    static constexpr const char *kPartialSuffix = ".partial-";
    static void RemoveAbandonedCreations(const std::string &dir);
    static CStoreStatus Create(const std::string &dir, const GeneratorOptions &options);
    // The camera a change names, refusing cameras that the store cannot answer for.
    std::optional<CameraRow> CameraForChange(const std::string &camera_id,
                                             const std::string &site_id,
                                             const std::string &workstation_id,
                                             std::string &error) const;

    std::string dir_;
    CRecordCatalogue catalogue_;
    std::map<std::pair<std::string, std::string>, RecordPlanRow> plans_;
    MediaCacheOptions media_options_;
    std::unique_ptr<CMediaCache> media_;
    MediaFormat media_format_;
    std::map<std::string, CameraRow> media_cameras_; // by CameraMediaPath
};

} // namespace teskrecordserver
