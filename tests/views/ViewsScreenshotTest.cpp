#include "views/SegmentNumWidget.h"
#include "views/VideoBackWidget.h"
#include "views/VideoOperationWidget.h"
#include "views/VideoSingleRecordWidget.h"
#include "views/VideoSplitRecordWidget.h"

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QSaveFile>
#include <QTest>
#include <QTranslator>

#include <vector>

using namespace TeskVideoSearch;

// Pictures of the widgets in the client's style sheet, for a person to look at. Written only
// when TVS_SCREENSHOT_DIR names a folder.
namespace {

constexpr int kWaitMs = 5000;

class Screenshots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = qEnvironmentVariable("TVS_SCREENSHOT_DIR");
        if (folder_.isEmpty())
            GTEST_SKIP() << "TVS_SCREENSHOT_DIR is not set";
        TeskResources::Register();
        const QString sheet = TeskResources::ClientStyleSheet();
        ASSERT_FALSE(sheet.isEmpty());
        qApp->setStyleSheet(sheet);
        if (translator_.load("TeskVideoSearch_en",
                             QCoreApplication::applicationDirPath() + "/../translations"))
            QCoreApplication::installTranslator(&translator_);
    }

    void TearDown() override
    {
        QCoreApplication::removeTranslator(&translator_);
        qApp->setStyleSheet(QString());
    }

    // The windows as they lie on the screen, on a neutral backdrop.
    void Save(const QString &name, const std::vector<QWidget *> &windows)
    {
        QRect bounds;
        for (QWidget *window : windows)
            bounds |= QRect(window->mapToGlobal(QPoint()), window->size());
        bounds.adjust(-16, -16, 16, 16);
        QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(0xf0, 0xf2, 0xf5));
        {
            QPainter painter(&image);
            for (QWidget *window : windows)
                painter.drawPixmap(window->mapToGlobal(QPoint()) - bounds.topLeft(),
                                   window->grab());
        }
        QSaveFile file(QDir(folder_).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(file.errorString());
        ASSERT_TRUE(image.save(&file, "PNG"));
        ASSERT_TRUE(file.commit()) << qPrintable(file.errorString());
    }

    QString folder_;
    QTranslator translator_;
};

VideoSplitInfo Step(const QString &name, QColor colour)
{
    VideoSplitInfo record;
    record.record_name = name;
    record.record_image = QImage(320, 180, QImage::Format_RGB32);
    record.record_image.fill(colour);
    return record;
}

SplitTimeLabelMap Lengths()
{
    return {{SplitTenMinutes, "10 min"},
            {SplitFiveMinutes, "5 min"},
            {SplitTwoMinutes, "2 min"},
            {SplitOneMinute, "1 min"}};
}

TEST_F(Screenshots, BackBarWithItsChainOpen)
{
    QWidget page;
    page.setGeometry(60, 60, 420, 56);
    page.setStyleSheet("QWidget#page { background: #ffffff; }");
    page.setObjectName("page");
    auto *bar = new CVideoBackWidget(&page);
    bar->setGeometry(12, 12, 396, 32);
    bar->AddRecord(Step("Gate S001-C002  08:00 - 09:00", QColor(80, 120, 170)));
    bar->AddRecord(Step("Split into 10 min", QColor(120, 150, 90)));
    bar->AddRecord(Step("Second search 08:20 - 08:30", QColor(170, 110, 80)));
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QWidget *right = bar->findChild<QWidget *>("ptr_right_widget_");
    QTest::mouseClick(right, Qt::LeftButton);
    auto *popup = bar->findChild<CVideoSplitRecordWidget *>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, kWaitMs));
    QWidget *second = popup->findChildren<CVideoSingleRecordWidget *>().at(1)->findChild<QWidget *>(
        "ptr_content_widget_");
    // Qt drops a move to where the pointer already is; start from elsewhere.
    QTest::mouseMove(&page, QPoint(1, 1));
    QTest::mouseMove(second, QPoint(30, 20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second->objectName() == "ptr_hover_content_widget_"; },
                                kWaitMs));
    Save("back-bar-chain-open.png", {&page, popup});
    popup->hide();
}

TEST_F(Screenshots, SegmentChooser)
{
    CSegmentNumWidget chooser;
    chooser.SetItems(Lengths());
    chooser.move(100, 100);
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    Save("segment-chooser.png", {&chooser});
}

TEST_F(Screenshots, OperationPopupHoverAndDisabled)
{
    auto &popup = PlexaControl::CUiSingleton<CVideoOperationWidget>::Instance();
    CVideoOperationInitParam param;
    param.SetVal_is_show_split_btn(true);
    param.SetVal_split_enable(true);
    param.SetVal_is_show_search_btn(true);
    param.SetVal_search_btn_enable(false);
    param.SetVal_search_invisble_tooltip("The picture is not loaded yet");
    param.SetVal_map_split_time_type(Lengths());
    popup.InitWidgetParam(param);
    popup.move(200, 240);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    QWidget *split = popup.findChild<QWidget *>("ptr_split_widget_");
    QTest::mouseMove(&popup, QPoint(1, 1));
    QTest::mouseMove(split, QPoint(20, 16));
    auto *chooser = popup.findChild<CSegmentNumWidget *>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooser && chooser->isVisible(); }, kWaitMs));
    Save("operation-popup-split-hover.png", {&popup, chooser});

    QWidget *search = popup.findChild<QWidget *>("ptr_search_widget_");
    QTest::mouseMove(search, QPoint(20, 16));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chooser->isVisible(); }, kWaitMs));
    Save("operation-popup-disabled-search-hover.png", {&popup});
    popup.ClearData();
}

} // namespace
