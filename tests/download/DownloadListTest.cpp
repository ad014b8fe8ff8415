#include "Screenshot.h"
#include "WaitFor.h"
#include "download/VideoDownloadList.h"

#include "DownloadTestSupport.h"

#include "uidatacontroller/DownloadFrameForVideoSearch.h"
#include "uidatacontroller/VideoListFram.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace TeskVideoSearch;
using namespace tesk_ui_data_controller;
using DownloadTest::Camera;
using DownloadTest::Record;

namespace {

const std::vector<std::string> kRanges = {"2026/11/19 00:10:55 - 2026/11/19 00:20:55",
                                          "2026/11/19 01:00:00 - 2026/11/19 01:05:30",
                                          "2026/11/19 23:59:00 - 2026/11/20 00:01:00"};

CVideoDownloadInfo ThreeGroups(const std::string &secret = {})
{
    CVideoDownloadInfo record = Record(Camera("S1", "C1", "Hall", "Door 1", secret),
                                       {{0, 10}, {20, 30}, {40, 50}}, kRanges);
    record.SetVal_merged_file_time_range("2026/11/19 00:10:55 - 2026/11/20 00:01:00");
    return record;
}

QStringList Column(QAbstractItemModel *model, int column, int role = Qt::DisplayRole)
{
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row)
        values << model->index(row, column).data(role).toString();
    return values;
}

// The side panel filled with records, shown, its model under a structural tester.
struct Panel
{
    explicit Panel(const QVector<CVideoDownloadInfo> &records)
    {
        model = frame.GetVideoListFram()->GetDataModel();
        tester = std::make_unique<QAbstractItemModelTester>(
            model, QAbstractItemModelTester::FailureReportingMode::Warning);
        frame.resize(520, 640);
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        ShowDownloadList(&frame, records, {DownloadFrameDef::SearchClientTime, true});
    }

    QVector<CVideoDownloadInfo> ReadBack()
    {
        QVector<CVideoDownloadInfo> out;
        std::dynamic_pointer_cast<CDataStorage<CVideoDownloadInfo>>(model->GetDataStorage())
            ->GetAllDatas(out);
        return out;
    }

    void Rename(int row, const QString &name)
    {
        QTableView *view = frame.GetVideoListFram()->GetTableView();
        view->scrollTo(model->index(row, HeadFileName));
        const QRect cell = view->visualRect(model->index(row, HeadFileName));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(view, Qt::Key_F2);
        QLineEdit *editor = nullptr;
        TVS_WAIT_TRUE((editor = view->findChild<QLineEdit *>("ptr_name_editor_")) != nullptr, 5000);
        ASSERT_TRUE(editor->isVisible());
        editor->selectAll();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on the next turn of the event loop.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return model->index(row, HeadFileName).data().toString() == name; }, 10000));
    }

    CDownloadFrameForVideoSearch frame;
    CVideoListFramModel *model = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST(DownloadList, OneRowPerGroupNamedAfterAreaCameraAndRange)
{
    Panel panel({ThreeGroups(), ThreeGroups("key")});
    ASSERT_EQ(panel.model->rowCount(), 6);
    EXPECT_EQ(Column(panel.model, HeadFileName).mid(0, 3),
              (QStringList{"Hall_Door 1_20261119001055_20261119002055",
                           "Hall_Door 1_20261119010000_20261119010530",
                           "Hall_Door 1_20261119235900_20261120000100"}));
    EXPECT_EQ(Column(panel.model, HeadTimeRange).mid(0, 3),
              (QStringList{QString::fromStdString(kRanges[0]), QString::fromStdString(kRanges[1]),
                           QString::fromStdString(kRanges[2])}));
    EXPECT_EQ(Column(panel.model, HeadFileType),
              QStringList({"MP4", "MP4", "MP4", "MP4", "MP4", "MP4"}));
    EXPECT_EQ(Column(panel.model, HeadFileName, RoleDataIndex),
              (QStringList{"0", "0", "0", "1", "1", "1"}));
    EXPECT_EQ(Column(panel.model, HeadFileName, RoleFileIndex),
              (QStringList{"0", "1", "2", "0", "1", "2"}));
    // Only the second camera's stream is encrypted.
    EXPECT_EQ(Column(panel.model, HeadFileName, RoleHasSecretKey),
              (QStringList{"false", "false", "false", "true", "true", "true"}));
    // Only the name is the operator's to change.
    for (int row = 0; row < panel.model->rowCount(); ++row) {
        EXPECT_TRUE(panel.model->index(row, HeadFileName).flags() & Qt::ItemIsEditable);
        for (int column : {HeadTimeRange, HeadFileType})
            EXPECT_FALSE(panel.model->index(row, column).flags() & Qt::ItemIsEditable);
    }
    QCoreApplication::processEvents(); // the layout takes the list height before the picture
    TestSupport::SaveShot(&panel.frame, "list-download-panel.png");
}

TEST(DownloadList, MergedRecordsGiveOneRowEachNamedAfterTheWholeRange)
{
    Panel panel({ThreeGroups()});
    auto *merge = panel.frame.findChild<QCheckBox *>("ptr_merge_check_box_");
    merge->setChecked(true);
    ASSERT_EQ(panel.model->rowCount(), 1);
    EXPECT_EQ(panel.model->index(0, 0).data().toString(),
              "Hall_Door 1_20261119001055_20261120000100");
    EXPECT_EQ(panel.model->index(0, 1).data().toString(),
              "2026/11/19 00:10:55 - 2026/11/20 00:01:00");
    EXPECT_EQ(panel.model->index(0, 0).data(RoleFileIndex).toInt(), 0);
}

TEST(DownloadList, NamesEndAfterTheCameraWithoutRangeText)
{
    Panel panel({Record(Camera("S1", "C1", "Hall", "Door 1"), {{0, 10}})});
    EXPECT_EQ(panel.model->index(0, 0).data().toString(), "Hall_Door 1_");
}

TEST(DownloadList, EditedNameIsReadBackIntoExactlyItsGroup)
{
    Panel panel({ThreeGroups(), ThreeGroups()});
    const QStringList shown = Column(panel.model, HeadFileName);
    panel.Rename(4, "Front gate evening");
    ASSERT_EQ(panel.model->index(4, 0).data().toString(), "Front gate evening");

    const QVector<CVideoDownloadInfo> records = panel.ReadBack();
    ASSERT_EQ(records.size(), 2);
    for (int d = 0; d < 2; ++d) {
        const auto &names = records[d].GetDataPtr()->qvc_custom_file_name;
        ASSERT_EQ(names.size(), 3);
        for (int f = 0; f < 3; ++f) {
            const QString expected = d == 1 && f == 1 ? "Front gate evening" : shown[d * 3 + f];
            EXPECT_EQ(names[f], expected.toStdString()) << d << "/" << f;
        }
    }
    // The storage's own records keep the page's names.
    const QVector<CVideoDownloadInfo> again = panel.ReadBack();
    EXPECT_EQ(again[1].GetDataPtr()->qvc_custom_file_name[1], "Front gate evening");
}

TEST(DownloadList, InvalidNamesAreRefused)
{
    Panel panel({ThreeGroups()});
    QSignalSpy refused(panel.model, &CVideoListFramModel::SignalInvalidFileName);
    const QString before = panel.model->index(0, 0).data().toString();
    for (const QString &name :
         {QString("a/b"), QString(""), QString(".hidden"), QString("trailing."),
          QString("x").repeated(129), QString("what?")}) {
        EXPECT_FALSE(panel.model->setData(panel.model->index(0, 0), name)) << name.toStdString();
        EXPECT_EQ(panel.model->index(0, 0).data().toString(), before);
    }
    EXPECT_EQ(refused.size(), 6);
    EXPECT_TRUE(panel.model->setData(panel.model->index(0, 0), "Gate (north) 2026-11-19"));
}

TEST(DownloadList, SwitchingMergingRebuildsRowsAndDropsEdits)
{
    Panel panel({ThreeGroups()});
    const QStringList defaults = Column(panel.model, HeadFileName);
    panel.Rename(0, "renamed");
    auto *merge = panel.frame.findChild<QCheckBox *>("ptr_merge_check_box_");
    QTest::mouseClick(merge, Qt::LeftButton, {}, QPoint(8, merge->height() / 2));
    ASSERT_TRUE(merge->isChecked());
    EXPECT_EQ(panel.model->rowCount(), 1);
    const QVector<CVideoDownloadInfo> merged = panel.ReadBack();
    EXPECT_EQ(merged[0].GetDataPtr()->qvc_custom_file_name[0],
              panel.model->index(0, 0).data().toString().toStdString());
    QTest::mouseClick(merge, Qt::LeftButton, {}, QPoint(8, merge->height() / 2));
    EXPECT_EQ(Column(panel.model, HeadFileName), defaults);
}

TEST(DownloadList, NarrowNamesKeepTheirRangeAndExtension)
{
    const QFontMetrics metrics(QApplication::font());
    const QString name = "Hall_Door 1_20261119001055_20261119002055.mp4";
    const QString tail = "_20261119001055_20261119002055.mp4";
    const int whole = metrics.horizontalAdvance(name);
    EXPECT_EQ(CVideoListFram::ElideFileName(name, metrics, whole), name);
    // Room for the range and a little of the rest: the rest is elided in its middle.
    const int narrow = metrics.horizontalAdvance("H…1" + tail);
    const QString shown = CVideoListFram::ElideFileName(name, metrics, narrow);
    EXPECT_TRUE(shown.endsWith(tail)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("H")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown), narrow);
    // Too narrow for the range, or a name without one: both ends stay, the middle goes.
    for (const QString &other : {name, QString("An operator's own name for this file.mp4")}) {
        const int tight = metrics.horizontalAdvance(other) / 3;
        const QString cut = CVideoListFram::ElideFileName(other, metrics, tight);
        EXPECT_LE(metrics.horizontalAdvance(cut), tight) << cut.toStdString();
        EXPECT_EQ(cut.front(), other.front()) << cut.toStdString();
        EXPECT_EQ(cut.back(), other.back()) << cut.toStdString();
    }
}

TEST(DownloadList, ReadBackSkipsRowsOutsideTheRecords)
{
    Panel panel({ThreeGroups()});
    // A row that names a record or group the storage does not have.
    for (const auto &[record, group] : {std::pair{5, 0}, std::pair{0, 7}}) {
        auto *cell = new QStandardItem("stray");
        cell->setData(record, RoleDataIndex);
        cell->setData(group, RoleFileIndex);
        panel.model->appendRow(cell);
    }
    const QVector<CVideoDownloadInfo> records = panel.ReadBack();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].GetDataPtr()->qvc_custom_file_name.size(), 3);
    for (const std::string &name : records[0].GetDataPtr()->qvc_custom_file_name)
        EXPECT_NE(name, "stray");
}

TEST(DownloadList, VisitorHandsOutOneGroupAtATime)
{
    CVideoDownloadInfo record = ThreeGroups();
    // Fewer names than groups: the short vector is left whole.
    record.GetDataPtr()->qvc_custom_file_name.resize(1);
    CFileStepVisitor<CVideoDownloadInfo> visitor(record);
    EXPECT_EQ(visitor.Count(), 3);
    for (int f = 0; f < 3; ++f) {
        ASSERT_TRUE(visitor.HaveNext());
        const CVideoDownloadInfo step = visitor.Next();
        ASSERT_EQ(step.GetDataPtr()->playback_files.size(), 1);
        EXPECT_EQ(step.GetDataPtr()->playback_files[0][0]->GetFileBegTime(), f * 20);
        EXPECT_EQ(step.GetDataPtr()->qvc_file_time_range,
                  (QVector<std::string>{kRanges[static_cast<size_t>(f)]}));
        EXPECT_EQ(step.GetDataPtr()->qvc_custom_file_name.size(), 1);
    }
    EXPECT_FALSE(visitor.HaveNext());
    // The record itself is untouched.
    EXPECT_EQ(record.GetDataPtr()->playback_files.size(), 3);
}

TEST(DownloadList, ReloadWithoutModelFillsNothing)
{
    CDataStorage<CVideoDownloadInfo> storage;
    storage.SetData({ThreeGroups()});
    EXPECT_EQ(storage.ReloadDataToModel(true), 0);
    auto *model = new CVideoListFramModel;
    storage.SetModel(model);
    delete model;
    EXPECT_EQ(storage.ReloadDataToModel(false), 0);
}
