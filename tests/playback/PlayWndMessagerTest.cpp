#include "playback/PlayWndMessager.h"
#include "WaitFor.h"

#include "lattice/NewInfoDlg.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace TeskVideoSearch;

namespace {

TEST(PlayWndMessager, ATextMessageIsCentredNearTheTopOfTheMainWidget)
{
    QWidget main;
    main.resize(600, 400);
    main.show();
    CPlayWndMessager messager;
    CPlayWndMessager::SetMainWidget(&main);
    QLabel *box = CPlayWndMessager::GetMessageBox();
    ASSERT_TRUE(box);
    CPlayWndMessager::SetMainWidget(&main);
    EXPECT_EQ(CPlayWndMessager::GetMessageBox(), box);

    teskplaywindow::CMessageInfo info;
    info.SetVal_message_type(1);
    info.SetVal_message("Recording not found");
    messager.ShowMessage(info, {});
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Recording not found");
    EXPECT_EQ(box->objectName(), "ptr_play_wnd_message_state_2");
    EXPECT_EQ(box->y(), CPlayWndMessager::kMessageTop);
    EXPECT_NEAR(box->x() + box->width() / 2, 300, 1);
    CPlayWndMessager::SetMainWidget(nullptr);
}

TEST(PlayWndMessager, PictureTipsGoToTheCornerOnlyForTheirFileTypes)
{
    Lattice::CNewInfoDlg::ClearShownTexts();
    CPlayWndMessager messager;
    for (const int type : {1, 2, 3, 4, 5}) {
        teskplaywindow::CMessageInfo info;
        info.SetVal_file_type(type);
        info.SetVal_message(QString("tip %1").arg(type));
        messager.ShowMessage(info, {{"camera_name", "Gate"}});
    }
    TVS_WAIT_EQ(Lattice::CNewInfoDlg::ShownTexts().size(), 3, 10000);
    const auto shown = Lattice::CNewInfoDlg::ShownTexts();
    EXPECT_TRUE(shown.at(0).startsWith("tip 1\nGate"));
    EXPECT_TRUE(shown.at(2).startsWith("tip 4"));
    Lattice::CNewInfoDlg::CloseAll();
}

} // namespace
