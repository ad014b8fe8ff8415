#include "RecordingServer.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"

#include <algorithm>

namespace teskrecordserver {

using teskplaycontroller::MediaPiece;
using teskplaycontroller::ResourceKey;

bool CRecordingServer::ResolveMedia(const ResourceKey &camera, int64_t begin, int64_t end,
                                    std::vector<MediaPiece> &out, std::string &error)
{
    out.clear();
    if (end <= begin) {
        error = "The span to export is empty.";
        return false;
    }
    for (const RecordingRow &recording :
         catalogue_.Recordings(camera.site_id, camera.resource_id, begin, end)) {
        int64_t t = std::max(begin, recording.begin);
        const int64_t to = std::min(end, recording.end);
        // The media comes in pieces of wall-clock time; each is held until the copy is done.
        while (t < to) {
            auto lease = std::make_shared<CMediaLease>();
            if (!MediaAt(camera, t, *lease, error)) {
                TESK_LOG_ERROR("%s", error.c_str());
                return false;
            }
            const int64_t piece_end = std::min<int64_t>(to, lease->Begin() + lease->Seconds());
            if (piece_end <= t) {
                error = "The media of camera " + camera.resource_id + " does not cover " +
                        Quor::Base::TimeUtil::TimeT2ISODatetime(t, 0, true) + ".";
                return false;
            }
            MediaPiece piece;
            piece.path = lease->Path();
            piece.from = lease->OffsetOf(static_cast<double>(t));
            piece.to = lease->OffsetOf(static_cast<double>(piece_end));
            piece.hold = lease;
            out.push_back(std::move(piece));
            t = piece_end;
        }
    }
    if (out.empty()) {
        error = "No recording of camera " + camera.resource_id + " covers " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(begin, 0, true) + " to " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(end, 0, true) + ".";
        return false;
    }
    return true;
}

} // namespace teskrecordserver
