#include "MediaCache.h"

#include "recordserver/MediaCodec.h"
#include "recordserver/TimeStrip.h"

#include "mirelog/Log.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace teskrecordserver {

namespace fs = std::filesystem;

namespace {

// Raised when what a piece shows changes, so that older pieces are not served.
constexpr const char *kMediaVersion = "timed-media 1";
constexpr const char *kNoteSuffix = ".sum";
constexpr const char *kTemporaryMark = ".tmp-";

uint32_t Fnv1a(const std::string &text, uint32_t hash = 2166136261u)
{
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

// A file-name-safe spelling of an identifier.
std::string SafeName(const std::string &id)
{
    std::string name = id.empty() ? std::string("_") : id;
    for (char &c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain)
            c = '_';
    }
    if (name == "." || name == "..")
        name = "_";
    return name;
}

// Everything a piece's pictures depend on besides its time.
uint32_t Fingerprint(const CameraRow &camera, const MediaFormat &format, int chunk_seconds)
{
    std::ostringstream text;
    const auto &zone = camera.time_zone;
    text << kMediaVersion << '\n'
         << camera.site_id << '\n'
         << camera.id << '\n'
         << camera.name << '\n'
         << zone.utc_bias << ' ' << zone.b_dst << ' ' << zone.daylight_bias << ' '
         << zone.dst_begin.month << ' ' << zone.dst_begin.week << ' ' << zone.dst_begin.weekday
         << ' ' << zone.dst_begin.hour << ' ' << zone.dst_end.month << ' ' << zone.dst_end.week
         << ' ' << zone.dst_end.weekday << ' ' << zone.dst_end.hour << '\n'
         << format.width << 'x' << format.height << '@' << format.fps << '/' << chunk_seconds;
    return Fnv1a(text.str());
}

int64_t ChunkBegin(int64_t t, int chunk_seconds)
{
    const int64_t q = t / chunk_seconds;
    return (t % chunk_seconds < 0 ? q - 1 : q) * chunk_seconds;
}

// Pieces of different lengths differ in their fingerprint, so a lead piece never takes the
// name of a whole one.
std::string PiecePath(const std::string &root, const CameraRow &camera, const MediaFormat &format,
                      int64_t begin, int seconds)
{
    char name[64];
    std::snprintf(name, sizeof name, "%lld-%08x.mp4", static_cast<long long>(begin),
                  Fingerprint(camera, format, seconds));
    return (fs::path(root) / SafeName(camera.site_id) / SafeName(camera.id) / name).string();
}

bool CheckRequest(const MediaFormat &format, int64_t begin, int seconds, int64_t t,
                  std::string &error)
{
    if (begin < 0 || begin + seconds > TimeStrip::kMaxSeconds) {
        error = "No media shows the time " + std::to_string(t) + ".";
        return false;
    }
    if (format.width <= 0 || format.height <= 0 || format.width % 2 || format.height % 2 ||
        format.fps <= 0) {
        error = "The media format " + std::to_string(format.width) + "x" +
                std::to_string(format.height) + "@" + std::to_string(format.fps) +
                " cannot be encoded.";
        return false;
    }
    return true;
}

std::string Md5Of(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

// "<begin>-<fingerprint>.mp4", as PathOf names pieces: nothing else in the folder is touched.
bool IsPieceName(const std::string &name)
{
    const size_t dash = name.find('-', 1);
    if (dash == std::string::npos || name.size() != dash + 13 || name.compare(dash + 9, 4, ".mp4"))
        return false;
    const auto digits = [&](size_t from, size_t to, const char *set) {
        return to > from && name.find_first_not_of(set, from) >= to;
    };
    return digits(name[0] == '-' ? 1 : 0, dash, "0123456789") &&
           digits(dash + 1, dash + 9, "0123456789abcdef");
}

struct Note
{
    int64_t size = -1;
    std::string md5;
};

bool ReadNote(const std::string &path, Note &note)
{
    std::ifstream in(path);
    std::string magic, version;
    if (!(in >> magic >> version >> note.size >> note.md5))
        return false;
    return magic + " " + version == kMediaVersion && note.size >= 0 && note.md5.size() == 32;
}

// Modification time in the file clock's ticks; 0 when the file is gone.
int64_t ModifiedTicks(const fs::path &path)
{
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    return ec ? 0 : static_cast<int64_t>(time.time_since_epoch().count());
}

} // namespace

struct CMediaCache::Impl : std::enable_shared_from_this<CMediaCache::Impl>
{
    std::string root;
    mutable std::mutex mutex;
    std::condition_variable idle;
    MediaCacheOptions options;
    std::set<std::string> busy;      // pieces being checked or written
    std::map<std::string, int> pins; // pieces leased, and how many times
    // Pieces whose checksum this process has confirmed, with the size and modification time
    // they had then: unchanged, they are not read again.
    std::map<std::string, std::pair<int64_t, int64_t>> verified;
    std::mutex eviction;
    std::atomic<int> generated{0};
    std::atomic<uint64_t> temporary_number{0};

    // Pieces waiting for the prefetching thread (started on first use), or being written by it.
    struct PrefetchJob
    {
        CameraRow camera;
        MediaFormat format;
        int64_t begin = 0;
        int seconds = 0;
        std::string path;
    };
    std::deque<PrefetchJob> prefetch_queue;
    std::set<std::string> prefetch_pending;
    std::condition_variable prefetch_wake;
    std::condition_variable prefetch_idle;
    bool stopping = false;
    std::thread prefetcher;

    bool Verify(const std::string &path);
    bool Generate(const CameraRow &camera, const MediaFormat &format, int64_t begin,
                  int chunk_seconds, const std::string &path, std::string &error);
    // The piece [begin, begin + seconds) at `path`, checked and written again when missing or
    // damaged; pinned for `lease` when one is given.
    bool Obtain(const CameraRow &camera, const MediaFormat &format, int64_t begin, int seconds,
                const std::string &path, CMediaLease *lease, std::string &error);
    void Unpin(const std::string &path);
    void Evict();
    void RunPrefetches();
    // Drops what waits and joins the thread after the piece it writes; nothing starts after.
    void StopPrefetching();
};

namespace {

// Pieces are drawn with the application's fonts: every prefetching thread is stopped while the
// application is still whole, before its destructor takes the fonts away.
std::mutex g_prefetching_mutex;
std::set<CMediaCache::Impl *> g_prefetching;
QCoreApplication *g_stopper_registered_for = nullptr;

void StopAllPrefetching()
{
    std::lock_guard<std::mutex> lock(g_prefetching_mutex);
    for (CMediaCache::Impl *impl : g_prefetching)
        impl->StopPrefetching();
    g_prefetching.clear();
    g_stopper_registered_for = nullptr;
}

} // namespace

struct CMediaLease::Owner
{
    std::shared_ptr<CMediaCache::Impl> cache;
    std::string path;
    ~Owner() { cache->Unpin(path); }
};

CMediaLease::CMediaLease(CMediaLease &&other) noexcept = default;
CMediaLease &CMediaLease::operator=(CMediaLease &&other) noexcept = default;
CMediaLease::~CMediaLease() = default;

bool CMediaCache::Impl::Verify(const std::string &path)
{
    std::error_code ec;
    const int64_t size = static_cast<int64_t>(fs::file_size(path, ec));
    if (ec)
        return false;
    const int64_t modified = ModifiedTicks(path);
    Note note;
    if (!ReadNote(path + kNoteSuffix, note) || note.size != size)
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto known = verified.find(path);
        if (known != verified.end() && known->second == std::make_pair(size, modified))
            return true;
    }
    if (Md5Of(path) != note.md5)
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    verified[path] = {size, modified};
    return true;
}

bool CMediaCache::Impl::Generate(const CameraRow &camera, const MediaFormat &format, int64_t begin,
                                 int chunk_seconds, const std::string &path, std::string &error)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temporary = path + kTemporaryMark +
                                  std::to_string(QCoreApplication::applicationPid()) + "-" +
                                  std::to_string(++temporary_number);
    TimedClipParams clip;
    clip.width = format.width;
    clip.height = format.height;
    clip.fps = format.fps;
    clip.gop = 2 * format.fps;
    clip.begin = begin;
    clip.seconds = chunk_seconds;
    clip.label = camera.name;
    clip.zone = camera.time_zone;
    clip.seed = Fnv1a(camera.site_id + "/" + camera.id);
    const auto fail = [&](const std::string &what) {
        error = what;
        TESK_LOG_ERROR("%s", error.c_str());
        fs::remove(temporary, ec);
        fs::remove(temporary + kNoteSuffix, ec);
        return false;
    };
    if (auto status = WriteTimedClip(temporary, clip); !status)
        return fail(status.Message());
    const int64_t size = static_cast<int64_t>(fs::file_size(temporary, ec));
    const std::string md5 = Md5Of(temporary);
    if (ec || md5.empty())
        return fail("The media " + temporary + " cannot be read back.");
    {
        std::ofstream note(temporary + kNoteSuffix, std::ios::trunc);
        note << kMediaVersion << ' ' << size << ' ' << md5 << '\n';
        if (!note.flush())
            return fail("The note of " + path + " cannot be written.");
    }
    // The old note goes first: no reader pairs it with the new file, nor the new note with
    // the old file.
    fs::remove(path + kNoteSuffix, ec);
    fs::rename(temporary, path, ec);
    if (ec)
        return fail("The media " + path + " cannot be put in place: " + ec.message());
    fs::rename(temporary + kNoteSuffix, path + kNoteSuffix, ec);
    if (ec)
        return fail("The note of " + path + " cannot be put in place: " + ec.message());
    ++generated;
    std::lock_guard<std::mutex> lock(mutex);
    verified[path] = {size, ModifiedTicks(path)};
    return true;
}

void CMediaCache::Impl::Unpin(const std::string &path)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto pin = pins.find(path);
    if (pin != pins.end() && --pin->second <= 0)
        pins.erase(pin);
}

void CMediaCache::Impl::Evict()
{
    std::lock_guard<std::mutex> serial(eviction);
    struct Piece
    {
        std::string path;
        int64_t bytes = 0;
        int64_t accessed = 0;
    };
    std::vector<Piece> pieces;
    int64_t total = 0;
    std::error_code ec;
    const auto stale_before = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code entry_ec;
        if (!it->is_regular_file(entry_ec))
            continue;
        const std::string path = it->path().string();
        const std::string name = it->path().filename().string();
        const size_t temporary = name.find(kTemporaryMark);
        if (temporary != std::string::npos) {
            // Left behind by a writer that died: removed once surely nobody writes it.
            if (IsPieceName(name.substr(0, temporary)) &&
                fs::last_write_time(path, entry_ec) < stale_before && !entry_ec)
                fs::remove(path, entry_ec);
            continue;
        }
        if (!IsPieceName(name))
            continue;
        Piece piece{path, static_cast<int64_t>(it->file_size(entry_ec)), 0};
        if (entry_ec)
            continue;
        const fs::path note = path + kNoteSuffix;
        piece.bytes += static_cast<int64_t>(fs::file_size(note, entry_ec));
        if (entry_ec) {
            piece.accessed = ModifiedTicks(path);
        } else {
            piece.accessed = ModifiedTicks(note);
        }
        total += piece.bytes;
        pieces.push_back(std::move(piece));
    }
    int64_t max_bytes;
    {
        std::lock_guard<std::mutex> lock(mutex);
        max_bytes = options.max_bytes;
    }
    if (total <= max_bytes)
        return;
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece &a, const Piece &b) { return a.accessed < b.accessed; });
    for (const Piece &piece : pieces) {
        if (total <= max_bytes)
            break;
        std::lock_guard<std::mutex> lock(mutex);
        if (pins.count(piece.path) || busy.count(piece.path))
            continue;
        fs::remove(piece.path + kNoteSuffix, ec);
        fs::remove(piece.path, ec);
        verified.erase(piece.path);
        total -= piece.bytes;
    }
}

bool CMediaCache::Impl::Obtain(const CameraRow &camera, const MediaFormat &format, int64_t begin,
                               int seconds, const std::string &path, CMediaLease *lease,
                               std::string &error)
{
    {
        std::unique_lock<std::mutex> lock(mutex);
        idle.wait(lock, [&] { return busy.count(path) == 0; });
        busy.insert(path);
    }
    bool ok = Verify(path);
    bool generated = false;
    if (!ok) {
        std::error_code ec;
        if (fs::exists(path, ec))
            TESK_LOG_INFO("The media %s is damaged or incomplete; writing it again", path.c_str());
        ok = generated = Generate(camera, format, begin, seconds, path, error);
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        busy.erase(path);
        if (ok && lease)
            ++pins[path];
    }
    idle.notify_all();
    if (!ok)
        return false;
    // The note's modification time is the piece's access time.
    std::error_code ec;
    fs::last_write_time(path + kNoteSuffix, fs::file_time_type::clock::now(), ec);
    if (lease) {
        *lease = CMediaLease();
        // Made in place: a temporary Owner would release the pin as it goes.
        lease->owner_.reset(new CMediaLease::Owner{shared_from_this(), path});
        lease->path_ = path;
        lease->begin_ = begin;
        lease->seconds_ = seconds;
    }
    if (generated)
        Evict();
    return true;
}

void CMediaCache::Impl::RunPrefetches()
{
    for (;;) {
        PrefetchJob job;
        {
            std::unique_lock<std::mutex> lock(mutex);
            prefetch_wake.wait(lock, [&] { return stopping || !prefetch_queue.empty(); });
            if (stopping)
                return;
            job = std::move(prefetch_queue.front());
            prefetch_queue.pop_front();
        }
        std::string error;
        // A failure is logged by Generate; the player's own Acquire then reports it.
        Obtain(job.camera, job.format, job.begin, job.seconds, job.path, nullptr, error);
        {
            std::lock_guard<std::mutex> lock(mutex);
            prefetch_pending.erase(job.path);
        }
        prefetch_idle.notify_all();
    }
}

void CMediaCache::Impl::StopPrefetching()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        for (const PrefetchJob &job : prefetch_queue)
            prefetch_pending.erase(job.path);
        prefetch_queue.clear();
    }
    prefetch_wake.notify_all();
    prefetch_idle.notify_all();
    // A piece being written is finished first: it goes into place whole or not at all.
    if (prefetcher.joinable())
        prefetcher.join();
}

CMediaCache::CMediaCache(std::string root, MediaCacheOptions options)
    : d_(std::make_shared<Impl>())
{
    d_->root = std::move(root);
    options.chunk_seconds = std::max(1, options.chunk_seconds);
    options.lead_seconds = std::clamp(options.lead_seconds, 1, options.chunk_seconds);
    d_->options = options;
}

CMediaCache::~CMediaCache()
{
    {
        std::lock_guard<std::mutex> lock(g_prefetching_mutex);
        g_prefetching.erase(d_.get());
    }
    d_->StopPrefetching();
}

const std::string &CMediaCache::Root() const
{
    return d_->root;
}

MediaCacheOptions CMediaCache::Options() const
{
    std::lock_guard<std::mutex> lock(d_->mutex);
    return d_->options;
}

void CMediaCache::SetMaxBytes(int64_t max_bytes)
{
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        d_->options.max_bytes = max_bytes;
    }
    d_->Evict();
}

std::string CMediaCache::PathOf(const CameraRow &camera, const MediaFormat &format, int64_t t) const
{
    const int chunk_seconds = Options().chunk_seconds;
    return PiecePath(d_->root, camera, format, ChunkBegin(t, chunk_seconds), chunk_seconds);
}

bool CMediaCache::IsReady(const CameraRow &camera, const MediaFormat &format, int64_t t) const
{
    const std::string path = PathOf(camera, format, t);
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        if (d_->busy.count(path))
            return false;
    }
    return d_->Verify(path);
}

bool CMediaCache::Acquire(const CameraRow &camera, const MediaFormat &format, int64_t t,
                          CMediaLease &lease, std::string &error)
{
    const int chunk_seconds = Options().chunk_seconds;
    const int64_t begin = ChunkBegin(t, chunk_seconds);
    if (!CheckRequest(format, begin, chunk_seconds, t, error))
        return false;
    return d_->Obtain(camera, format, begin, chunk_seconds,
                      PiecePath(d_->root, camera, format, begin, chunk_seconds), &lease, error);
}

bool CMediaCache::AcquireLead(const CameraRow &camera, const MediaFormat &format, int64_t t,
                              CMediaLease &lease, std::string &error)
{
    const MediaCacheOptions options = Options();
    const int64_t chunk = ChunkBegin(t, options.chunk_seconds);
    const int64_t begin = chunk + ChunkBegin(t - chunk, options.lead_seconds);
    const int seconds = static_cast<int>(
        std::min<int64_t>(options.lead_seconds, chunk + options.chunk_seconds - begin));
    if (!CheckRequest(format, begin, seconds, t, error))
        return false;
    return d_->Obtain(camera, format, begin, seconds,
                      PiecePath(d_->root, camera, format, begin, seconds), &lease, error);
}

void CMediaCache::Prefetch(const CameraRow &camera, const MediaFormat &format, int64_t t)
{
    const int chunk_seconds = Options().chunk_seconds;
    const int64_t begin = ChunkBegin(t, chunk_seconds);
    std::string error;
    if (!CheckRequest(format, begin, chunk_seconds, t, error))
        return;
    const std::string path = PiecePath(d_->root, camera, format, begin, chunk_seconds);
    std::lock_guard<std::mutex> registry(g_prefetching_mutex);
    // Without an application the caller's own Acquire writes the piece.
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        if (d_->stopping || d_->prefetch_pending.count(path))
            return;
        d_->prefetch_pending.insert(path);
        d_->prefetch_queue.push_back({camera, format, begin, chunk_seconds, path});
        if (!d_->prefetcher.joinable())
            d_->prefetcher = std::thread([impl = d_.get()] { impl->RunPrefetches(); });
    }
    g_prefetching.insert(d_.get());
    if (g_stopper_registered_for != application) {
        g_stopper_registered_for = application;
        qAddPostRoutine(StopAllPrefetching);
    }
    d_->prefetch_wake.notify_all();
}

void CMediaCache::WaitForPrefetches() const
{
    std::unique_lock<std::mutex> lock(d_->mutex);
    d_->prefetch_idle.wait(lock, [this] { return d_->prefetch_pending.empty(); });
}

int64_t CMediaCache::BytesOnDisk() const
{
    int64_t total = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(d_->root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code entry_ec;
        std::string name = it->path().filename().string();
        const std::string note_suffix = kNoteSuffix;
        if (name.size() > note_suffix.size() &&
            name.compare(name.size() - note_suffix.size(), note_suffix.size(), note_suffix) == 0)
            name.resize(name.size() - note_suffix.size());
        if (!it->is_regular_file(entry_ec) || !IsPieceName(name))
            continue;
        const auto size = it->file_size(entry_ec);
        if (!entry_ec)
            total += static_cast<int64_t>(size);
    }
    return total;
}

int CMediaCache::Generated() const
{
    return d_->generated.load();
}

} // namespace teskrecordserver
