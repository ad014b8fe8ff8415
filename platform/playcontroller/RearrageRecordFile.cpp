#include "RearrageRecordFile.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"

#include <algorithm>

namespace teskplaycontroller {

namespace {

// More windows than this for one request means a corrupt time or length, not a recording.
constexpr int64_t kMaxWindows = 10'000'000;
constexpr size_t kISODateTimeLength = 19;

// How a file's ISO text is written: its zone offset, separator and kind of suffix. Read once
// per file, however many windows cut it.
struct ISOForm
{
    bool readable = false;
    int offset = 0;
    char separator = 'T';
    bool zulu = false;
    bool suffixed = false;
};

ISOForm ReadISOForm(const std::string &text, int64_t time)
{
    ISOForm form;
    if (text.size() < kISODateTimeLength)
        return form;
    const int64_t wall_clock =
        Quor::Base::TimeUtil::ISODatetime2TimeT(text.substr(0, kISODateTimeLength));
    if (wall_clock < 0)
        return form;
    form.readable = true;
    form.offset = static_cast<int>(wall_clock - time);
    form.separator = text[10];
    form.zulu = text.back() == 'Z';
    form.suffixed = text.size() > kISODateTimeLength;
    return form;
}

// The ISO text of `time` written in `form`; empty when the original could not be read.
std::string WriteISOText(const ISOForm &form, int64_t time)
{
    if (!form.readable)
        return {};
    std::string text = Quor::Base::TimeUtil::TimeT2ISODatetime(time, form.offset, form.zulu);
    if (text.size() < kISODateTimeLength)
        return {};
    text[10] = form.separator;
    if (!form.suffixed)
        text.resize(kISODateTimeLength);
    return text;
}

std::shared_ptr<CPlaybackFile> CutFile(const std::shared_ptr<CPlaybackFile> &file,
                                       const ISOForm &begin_form, const ISOForm &end_form,
                                       int64_t begin, int64_t end)
{
    std::shared_ptr<CPlaybackFile> part = file->Clone();
    part->SetFileBegTime(begin);
    part->SetFileEndTime(end);
    part->SetFileISOBeginTime(WriteISOText(begin_form, begin));
    part->SetFileISOEndTime(WriteISOText(end_form, end));
    const int64_t length = file->GetFileEndTime() - file->GetFileBegTime();
    if (length > 0)
        part->SetFileSize(static_cast<int64_t>(static_cast<long double>(file->GetFileSize()) *
                                               (end - begin) / length));
    return part;
}

} // namespace

void CRearrageRecordFileImpl::RearrageRecordFilesByLength(SegmentFileMap &out,
                                                          const VideoFileSplitParam &param)
{
    out.clear();
    if (param.split_length <= 0 || param.vc_files.empty())
        return;

    std::vector<std::shared_ptr<CPlaybackFile>> files;
    files.reserve(param.vc_files.size());
    for (const auto &file : param.vc_files) {
        if (!file) {
            TESK_LOG_ERROR("Split: null file of camera %s", param.resource_key.resource_id.c_str());
            continue;
        }
        if (file->GetFileEndTime() < file->GetFileBegTime()) {
            TESK_LOG_ERROR("Split: file %s ends before it begins (%lld > %lld)",
                           file->GetFileName().c_str(),
                           static_cast<long long>(file->GetFileBegTime()),
                           static_cast<long long>(file->GetFileEndTime()));
            continue;
        }
        files.push_back(file);
    }
    if (files.empty())
        return;

    std::stable_sort(files.begin(), files.end(), [](const auto &a, const auto &b) {
        if (a->GetFileBegTime() != b->GetFileBegTime())
            return a->GetFileBegTime() < b->GetFileBegTime();
        return a->GetFileEndTime() < b->GetFileEndTime();
    });

    const int64_t origin = files.front()->GetFileBegTime();
    const int64_t length = param.split_length;
    int64_t last_end = origin;
    for (const auto &file : files)
        last_end = std::max(last_end, file->GetFileEndTime());
    if ((last_end - origin) / length > kMaxWindows) {
        TESK_LOG_ERROR("Split: %lld seconds in windows of %d seconds is too many segments",
                       static_cast<long long>(last_end - origin), param.split_length);
        return;
    }

    for (const auto &file : files) {
        const int64_t begin = file->GetFileBegTime();
        const int64_t end = file->GetFileEndTime();
        const int64_t first = (begin - origin) / length;
        if (begin == end) {
            out[static_cast<unsigned long long>(first)].push_back(file);
            continue;
        }
        const int64_t last = (end - 1 - origin) / length;
        if (first == last) {
            out[static_cast<unsigned long long>(first)].push_back(file);
            continue;
        }
        const ISOForm begin_form = ReadISOForm(file->GetFileISOBeginTime(), begin);
        const ISOForm end_form = ReadISOForm(file->GetFileISOEndTime(), end);
        for (int64_t window = first; window <= last; ++window) {
            const int64_t window_begin = origin + window * length;
            out[static_cast<unsigned long long>(window)].push_back(
                CutFile(file, begin_form, end_form, std::max(begin, window_begin),
                        std::min(end, window_begin + length)));
        }
    }
    // Parts arrive in the begin order of their files; cut parts that start together at a window
    // boundary still need ordering by end.
    for (auto &segment : out) {
        std::stable_sort(segment.second.begin(), segment.second.end(),
                         [](const auto &a, const auto &b) {
                             if (a->GetFileBegTime() != b->GetFileBegTime())
                                 return a->GetFileBegTime() < b->GetFileBegTime();
                             return a->GetFileEndTime() < b->GetFileEndTime();
                         });
    }
}

} // namespace teskplaycontroller
