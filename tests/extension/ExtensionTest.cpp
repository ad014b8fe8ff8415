#include "extension/OperationGuideDialog.h"
#include "extension/VideoSearchExpandInterface.h"

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QTranslator>

using namespace TeskVideoSearch;

namespace {

TEST(ExpandInterface, BaseAnswersInSlotOrder)
{
    CVideoSearchExpandInterface expand;
    const QMetaObject *meta = expand.metaObject();
    const QStringList expected = {"IsSupportThumbnail",
                                  "IsSupportSearchByImage",
                                  "IsSupportShowTimeType",
                                  "GetPlayWidgetHeightWidgetScale",
                                  "GetMapWidget",
                                  "ClearData",
                                  "UpdateAfterSwitchUser",
                                  "LoadMapInfo",
                                  "SendTrackInfo",
                                  "StopWorking",
                                  "IsVideaSearchCameraAddMap"};
    QStringList names;
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i)
        names << QString::fromLatin1(meta->method(i).name());
    EXPECT_EQ(names, expected);

    EXPECT_TRUE(expand.IsSupportThumbnail(ResourceData::StorageMediaCloud,
                                          ResourceData::StorageLocationCentral, "", "c"));
    EXPECT_TRUE(expand.IsSupportSearchByImage());
    EXPECT_TRUE(expand.IsSupportShowTimeType());
    EXPECT_FLOAT_EQ(expand.GetPlayWidgetHeightWidgetScale(), 0.6166667f);
    EXPECT_EQ(expand.GetMapWidget(), nullptr);
    EXPECT_TRUE(expand.LoadMapInfo("{}"));
    EXPECT_TRUE(expand.SendTrackInfo("{}"));
    EXPECT_TRUE(expand.StopWorking());
    EXPECT_TRUE(expand.IsVideaSearchCameraAddMap(ResourceData::ResourceTypeCamera, 3));
}

TEST(OperationGuideDialog, FormFlagsAndHandle)
{
    TeskResources::Register();
    COperationGuideDialog dialog;
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    for (const char *name :
         {"ptr_operate_dialog_", "ptr_content_frame_", "ptr_first_frame_", "ptr_second_frame_",
          "ptr_first_step_", "ptr_first_info_", "ptr_first_image_", "ptr_second_step_",
          "ptr_second_info_", "ptr_second_image_", "ptr_bottom_frame_", "ptr_close_btn_"})
        EXPECT_NE(dialog.findChild<QWidget *>(name), nullptr) << name;
    // The step pictures are real drawings, not empty labels.
    const QLabel *image = dialog.findChild<QLabel *>("ptr_first_image_");
    EXPECT_FALSE(image->pixmap(Qt::ReturnByValue).isNull());

    const QWidget *form = dialog.findChild<QWidget *>("ptr_operate_dialog_");
    const WId handle = dialog.GetSearchWindowID();
    EXPECT_NE(handle, WId(0));
    EXPECT_EQ(handle, form->winId());
    EXPECT_EQ(dialog.GetSearchWId(), static_cast<uint64_t>(handle));

    dialog.show();
    QPushButton *close = dialog.findChild<QPushButton *>("ptr_close_btn_");
    close->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(OperationGuideDialog, TextsUseTheGuideContext)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load("TeskVideoSearch_en",
                                QCoreApplication::applicationDirPath() + "/../translations"));
    QCoreApplication::installTranslator(&translator);
    {
        COperationGuideDialog dialog;
        EXPECT_EQ(dialog.GetTitle(), "Operation Guide");
        EXPECT_EQ(dialog.findChild<QLabel *>("ptr_first_step_")->text(), "Step 1");
        EXPECT_EQ(dialog.findChild<QPushButton *>("ptr_close_btn_")->text(), "Close");
    }
    QCoreApplication::removeTranslator(&translator);
    COperationGuideDialog untranslated;
    EXPECT_EQ(untranslated.findChild<QLabel *>("ptr_second_step_")->text(),
              "Korv-ControlClient.e8619579c3c045bb8e75c03e2bb1ed22.name");
}

} // namespace
