#pragma once

#include "recordserver/Catalogue.h"

#include <cstdint>
#include <memory>
#include <string>

namespace teskrecordserver {

// The picture format of a store's media.
struct MediaFormat
{
    int width = 320;
    int height = 180;
    int fps = 10;
};

struct MediaCacheOptions
{
    static constexpr int64_t kDefaultMaxBytes = int64_t(256) << 20;
    static constexpr int kDefaultChunkSeconds = 30;
    static constexpr int kDefaultLeadSeconds = 1;
    // Bound of the bytes the cache keeps on disk. The least recently used media is removed
    // past it; media in use (leased) and the newest piece are kept even if they alone pass it.
    int64_t max_bytes = kDefaultMaxBytes;
    // Length of one piece of media; a camera's wall clock is cut into pieces of this length
    // from 1970-01-01T00:00:00Z on.
    int chunk_seconds = kDefaultChunkSeconds;
    // Length of a lead piece (AcquireLead), at most chunk_seconds.
    int lead_seconds = kDefaultLeadSeconds;
};

// A piece of media in use: its cache does not remove it while the lease lives.
class CMediaLease
{
public:
    CMediaLease() = default;
    CMediaLease(CMediaLease &&other) noexcept;
    CMediaLease &operator=(CMediaLease &&other) noexcept;
    CMediaLease(const CMediaLease &) = delete;
    CMediaLease &operator=(const CMediaLease &) = delete;
    ~CMediaLease();

    bool IsValid() const { return static_cast<bool>(owner_); }
    // The MP4 file (H.264), absolute.
    const std::string &Path() const { return path_; }
    // UTC second of its first frame, and its length in seconds.
    int64_t Begin() const { return begin_; }
    int Seconds() const { return seconds_; }
    // Seconds into the file of the UTC time `utc`.
    double OffsetOf(double utc) const { return utc - static_cast<double>(begin_); }

private:
    friend class CMediaCache;
    struct Owner;
    std::shared_ptr<Owner> owner_;
    std::string path_;
    int64_t begin_ = 0;
    int seconds_ = 0;
};

// The media of the store's cameras, generated when first asked for and kept in a folder of the
// store, bounded in bytes.
//
// A piece of media covers one camera's [begin, begin + chunk_seconds) of wall-clock time; its
// frames carry that time as on-screen text and as a time strip (TimeStrip.h). A piece is
// written under a temporary name and renamed when complete, with a note of its size and
// checksum beside it; a piece whose note is missing or disagrees (a truncated or damaged
// file) is written again rather than served. Threads asking for the same piece at once get
// it generated once; other processes sharing the store may generate it too, each renaming
// an identical file into place. The least recently used pieces (access times kept as the
// notes' modification times) are removed once the folder passes its bound.
//
//   CMediaCache cache(store_dir + "/media-cache");
//   CMediaLease lease;
//   if (cache.Acquire(camera, format, t, lease, error))
//       DecodeFrameAt(lease.Path(), lease.OffsetOf(t), image, error);
class CMediaCache
{
public:
    explicit CMediaCache(std::string root, MediaCacheOptions options = MediaCacheOptions());
    ~CMediaCache();
    CMediaCache(const CMediaCache &) = delete;
    CMediaCache &operator=(const CMediaCache &) = delete;

    const std::string &Root() const;
    MediaCacheOptions Options() const;
    // Changes the bound, removing what no longer fits.
    void SetMaxBytes(int64_t max_bytes);

    // The piece of `camera`'s media that shows UTC time `t`, generated (or generated again)
    // when missing or damaged. False with `error` set when it cannot be written.
    bool Acquire(const CameraRow &camera, const MediaFormat &format, int64_t t, CMediaLease &lease,
                 std::string &error);
    // Where that piece lives, whether it exists yet or not.
    std::string PathOf(const CameraRow &camera, const MediaFormat &format, int64_t t) const;
    // Whether that piece is on disk, complete and undamaged (nothing is generated).
    bool IsReady(const CameraRow &camera, const MediaFormat &format, int64_t t) const;

    // A player need not wait for a whole piece: a lead piece shows the same pictures from the
    // lead_seconds boundary at or before `t` to the next one (or the end of the piece), and
    // takes a fraction of the time to write. Kept and checked like any piece.
    bool AcquireLead(const CameraRow &camera, const MediaFormat &format, int64_t t,
                     CMediaLease &lease, std::string &error);
    // Generates the piece that shows `t` on the cache's own thread, unless it is ready or
    // already asked for; an Acquire meanwhile waits for it rather than writing it twice.
    void Prefetch(const CameraRow &camera, const MediaFormat &format, int64_t t);
    // Returns once no prefetched piece is waiting or being written.
    void WaitForPrefetches() const;

    // Bytes of the media and notes on disk now.
    int64_t BytesOnDisk() const;
    // Pieces this cache has written since it was made.
    int Generated() const;

    struct Impl; // opaque; shared with the leases

private:
    std::shared_ptr<Impl> d_;
};

} // namespace teskrecordserver
