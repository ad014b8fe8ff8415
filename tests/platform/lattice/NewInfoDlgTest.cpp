#include "lattice/NewInfoDlg.h"
#include "plexacontrol/UiSingleton.h"
#include "uidatacontroller/InformationMgr.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <thread>

namespace {

using Lattice::CNewInfoDlg;
using Lattice::CStruInfoTipsData;

std::shared_ptr<CStruInfoTipsData> Tips(const QString &text, QWidget *parent = nullptr)
{
    auto tips = std::make_shared<CStruInfoTipsData>();
    tips->pParent = parent;
    tips->strText = text;
    tips->normal_text_type = CStruInfoTipsData::TextError;
    return tips;
}

QList<CNewInfoDlg *> OpenPopups()
{
    QList<CNewInfoDlg *> popups;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *popup = qobject_cast<CNewInfoDlg *>(widget); popup && popup->isVisible())
            popups.append(popup);
    }
    return popups;
}

class NewInfoDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CNewInfoDlg::CloseAll();
        CNewInfoDlg::ClearShownTexts();
    }
    void TearDown() override { CNewInfoDlg::CloseAll(); }
};

TEST_F(NewInfoDlgTest, StacksUpwardsAtTheBottomRightAndHidesItself)
{
    CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(Tips("first"));
    CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(Tips("second"));
    EXPECT_EQ(CNewInfoDlg::ShownTexts(), QStringList({"first", "second"}));

    const auto popups = OpenPopups();
    ASSERT_EQ(popups.size(), 2);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    CNewInfoDlg *first =
        popups[0]->findChild<QLabel *>()->text() == "first" ? popups[0] : popups[1];
    CNewInfoDlg *second = first == popups[0] ? popups[1] : popups[0];
    const QRect first_rect = first->frameGeometry();
    EXPECT_TRUE(area.contains(first_rect)) << first_rect.x() << "," << first_rect.y();
    EXPECT_GT(first_rect.right(), area.center().x());
    EXPECT_GT(first_rect.bottom(), area.center().y());
    EXPECT_LT(second->frameGeometry().bottom(), first_rect.top());

    EXPECT_TRUE(QTest::qWaitFor([] { return CNewInfoDlg::OpenCount() == 0; },
                                CNewInfoDlg::kShowMilliseconds + 5000));
}

TEST_F(NewInfoDlgTest, ShowsFromAnotherThreadAndThroughTheInformationManager)
{
    std::thread worker(
        [] { CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(Tips("from a worker")); });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([] { return CNewInfoDlg::OpenCount() == 1; }, 5000));

    QWidget parent;
    PlexaControl::CUiSingleton<tesk_ui_data_controller::CInformationMgr>::Instance()
        .ShowInformationAtScreenRightBottom_V3(Tips("forwarded", &parent));
    EXPECT_EQ(CNewInfoDlg::OpenCount(), 2);
    EXPECT_EQ(CNewInfoDlg::ShownTexts(), QStringList({"from a worker", "forwarded"}));
    CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(nullptr);
    EXPECT_EQ(CNewInfoDlg::ShownTexts().size(), 2);
}

} // namespace
