#include "playcontroller/RearrageRecordFile.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <random>

using namespace teskplaycontroller;

namespace {

std::shared_ptr<CPlaybackFile> File(int64_t begin, int64_t end, const std::string &name = "f")
{
    auto file = std::make_shared<CPlaybackFile>(begin, end, name);
    file->SetFileSize((end - begin) * 1000);
    return file;
}

VideoFileSplitParam Request(int length, std::vector<std::shared_ptr<CPlaybackFile>> files)
{
    VideoFileSplitParam param;
    param.split_length = length;
    param.vc_files = std::move(files);
    if (!param.vc_files.empty() && param.vc_files.front()) {
        param.begin_time = param.vc_files.front()->GetFileBegTime();
        param.end_time = param.vc_files.back()->GetFileEndTime();
    }
    return param;
}

// The segments as "key:[b,e) [b,e)|key:…", relative to `origin`.
std::string Dump(const SegmentFileMap &map, int64_t origin)
{
    std::string text;
    for (const auto &segment : map) {
        if (!text.empty())
            text += '|';
        text += std::to_string(segment.first) + ':';
        for (size_t i = 0; i < segment.second.size(); ++i) {
            const auto &file = segment.second[i];
            text += (i ? " [" : "[") + std::to_string(file->GetFileBegTime() - origin) + ',' +
                    std::to_string(file->GetFileEndTime() - origin) + ')';
        }
    }
    return text;
}

// No length, no usable file or a span too long to cut: nothing, and what the map held is gone.
TEST(RearrageRecordFile, NothingForNoLengthNoFilesOrAnAbsurdSpan)
{
    const VideoFileSplitParam requests[] = {
        Request(0, {File(0, 100)}), Request(-60, {File(0, 100)}), Request(60, {}),
        Request(60, {nullptr, File(9, 1)}), Request(1, {File(0, 4'000'000'000)})};
    for (const VideoFileSplitParam &request : requests) {
        SegmentFileMap out;
        out[3] = {File(0, 1)};
        CRearrageRecordFileImpl::RearrageRecordFilesByLength(out, request);
        EXPECT_TRUE(out.empty()) << request.split_length;
    }
}

TEST(RearrageRecordFile, SegmentLayouts)
{
    const int64_t t0 = 1796450400;
    struct Case
    {
        const char *name;
        int length;
        const char *files; // "begin-end" seconds after t0, split at ' '
        const char *expected;
    };
    const Case cases[] = {
        {"one short file", 600, "0-100", "0:[0,100)"},
        {"file exactly one window", 100, "0-100", "0:[0,100)"},
        {"contiguous files cut at boundaries", 100, "0-150 150-320",
         "0:[0,100)|1:[100,150) [150,200)|2:[200,300)|3:[300,320)"},
        {"gap leaves windows out", 100, "0-50 530-560", "0:[0,50)|5:[530,560)"},
        {"overlapping files are both kept", 100, "0-80 40-120", "0:[0,80) [40,100)|1:[100,120)"},
        {"input out of time order", 100, "200-250 0-30", "0:[0,30)|2:[200,250)"},
        {"cut parts sorted by end", 100, "0-200 50-150",
         "0:[0,100) [50,100)|1:[100,150) [100,200)"},
        {"empty file in the window of its begin", 100, "0-10 100-100", "0:[0,10)|1:[100,100)"},
        {"reversed file left out", 100, "0-10 300-200", "0:[0,10)"}};
    for (const Case &c : cases) {
        std::vector<std::shared_ptr<CPlaybackFile>> files;
        for (const QString &span : QString(c.files).split(' '))
            files.push_back(File(t0 + span.section('-', 0, 0).toLongLong(),
                                 t0 + span.section('-', 1).toLongLong()));
        SegmentFileMap out;
        CRearrageRecordFileImpl::RearrageRecordFilesByLength(out, Request(c.length, files));
        EXPECT_EQ(Dump(out, t0), c.expected) << c.name;
    }
}

TEST(RearrageRecordFile, CutPartsAreClonesWithTheirOwnTimes)
{
    auto tag = std::make_shared<CLabelFile>(1000, 1300, "rec");
    tag->SetLabelID("label-7");
    tag->SetRcordLabelType(101);
    tag->SetFileSize(3000);
    tag->SetFileISOBeginTime("1970-01-01T08:16:40+08:00");
    tag->SetFileISOEndTime("1970-01-01 08:21:40");
    auto whole = File(1300, 1350);
    auto unreadable = File(1350, 1500);
    unreadable->SetFileISOBeginTime("yesterday");

    SegmentFileMap out;
    CRearrageRecordFileImpl::RearrageRecordFilesByLength(out,
                                                         Request(200, {tag, whole, unreadable}));
    ASSERT_EQ(out.size(), 3u);
    ASSERT_EQ(out[0].size(), 1u);
    ASSERT_EQ(out[1].size(), 3u);

    const auto first = std::dynamic_pointer_cast<CLabelFile>(out[0][0]);
    ASSERT_TRUE(first);
    EXPECT_NE(first.get(), tag.get());
    EXPECT_EQ(first->GetLabelID(), "label-7");
    EXPECT_EQ(first->GetFileBegTime(), 1000);
    EXPECT_EQ(first->GetFileEndTime(), 1200);
    EXPECT_EQ(first->GetFileSize(), 2000);
    EXPECT_EQ(first->GetFileISOBeginTime(), "1970-01-01T08:16:40+08:00");
    EXPECT_EQ(first->GetFileISOEndTime(), "1970-01-01 08:20:00");

    const auto second = std::dynamic_pointer_cast<CLabelFile>(out[1][0]);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->GetFileBegTime(), 1200);
    EXPECT_EQ(second->GetFileISOBeginTime(), "1970-01-01T08:20:00+08:00");
    EXPECT_EQ(second->GetFileSize(), 1000);
    // A file wholly inside one window is handed on unchanged.
    EXPECT_EQ(out[1][1].get(), whole.get());
    // An ISO text that does not read as a time is not carried over to a later part.
    EXPECT_EQ(out[2][0]->GetFileISOBeginTime(), "");
    // The original is untouched.
    EXPECT_EQ(tag->GetFileEndTime(), 1300);
    EXPECT_EQ(tag->GetFileISOEndTime(), "1970-01-01 08:21:40");
}

// Random recordings: every second of every file lands in exactly one segment, segments stay
// within their length and hold their files in time order.
TEST(RearrageRecordFile, RandomRecordingsAreCoveredExactly)
{
    std::mt19937 random(20261205);
    for (int round = 0; round < 200; ++round) {
        const int length = std::uniform_int_distribution<int>(1, 900)(random);
        const int count = std::uniform_int_distribution<int>(1, 40)(random);
        std::vector<std::shared_ptr<CPlaybackFile>> files;
        int64_t total = 0;
        for (int i = 0; i < count; ++i) {
            const int64_t begin = std::uniform_int_distribution<int64_t>(0, 20000)(random);
            const int64_t end = begin + std::uniform_int_distribution<int64_t>(0, 3000)(random);
            files.push_back(File(begin, end));
            total += end - begin;
        }
        SegmentFileMap out;
        CRearrageRecordFileImpl::RearrageRecordFilesByLength(out, Request(length, files));
        int64_t origin = files.front()->GetFileBegTime();
        for (const auto &file : files)
            origin = std::min(origin, file->GetFileBegTime());

        int64_t covered = 0;
        size_t empty_files = 0;
        for (const auto &segment : out) {
            ASSERT_FALSE(segment.second.empty());
            const int64_t window = origin + static_cast<int64_t>(segment.first) * length;
            for (size_t i = 0; i < segment.second.size(); ++i) {
                const auto &part = segment.second[i];
                EXPECT_GE(part->GetFileBegTime(), window);
                EXPECT_LE(part->GetFileEndTime(), window + length);
                if (i > 0) {
                    EXPECT_LE(segment.second[i - 1]->GetFileBegTime(), part->GetFileBegTime());
                }
                covered += part->GetFileEndTime() - part->GetFileBegTime();
                empty_files += part->GetFileEndTime() == part->GetFileBegTime();
            }
        }
        EXPECT_EQ(covered, total) << "round " << round;
        size_t expected_empty = 0;
        for (const auto &file : files)
            expected_empty += file->GetFileEndTime() == file->GetFileBegTime();
        EXPECT_EQ(empty_files, expected_empty);
    }
}

} // namespace
