#include "extension/OperationGuideDialog.h"
#include "extension/VideoSearchExpandInterface.h"

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>

using namespace TeskVideoSearch;

namespace {

// Hosts call the hooks by their place among the slots.
TEST(ExpandInterface, SlotsKeepTheirOrder)
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
}

TEST(OperationGuideDialog, FormFlagsAndHandle)
{
    TeskResources::Register();
    COperationGuideDialog dialog;
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

} // namespace
