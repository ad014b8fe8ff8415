// The widget stand-ins the tag and lock operations show: the modal waiting dialog and the
// transient message tips. Set TVS_TAGLOCK_PNG_DIR to keep pictures of them.

#include "TagLockTestSupport.h"

#include "resources/Resources.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QTranslator>

#include <thread>

using namespace TagLockTest;
using tesk_ui_data_controller::CMessageTip;

namespace {

void KeepPicture(QWidget *widget, const char *name)
{
    const QString dir = qEnvironmentVariable("TVS_TAGLOCK_PNG_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    EXPECT_TRUE(widget->grab().save(dir + "/" + name + ".png"));
}

class ChaseDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TeskResources::Register();
        window_.resize(640, 360);
        window_.show();
    }

    QWidget window_;
};

TEST_F(ChaseDialogTest, ModalWaitThatOnlyItsOwnerEnds)
{
    PlexaControl::CChaseDialog dialog(
        &window_, ":/Express/Public/Gif/Images/Public/Gif/Gif_Waiting_Login_4.gif",
        QStringLiteral("Loading..."), false);
    bool modal = false, animating = false, survived_escape = false, ran = false;
    WhenDialogShows(&dialog, [&] {
        modal = QApplication::activeModalWidget() == &dialog;
        animating = dialog.IsAnimating();
        KeepPicture(&dialog, "chase_dialog");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        survived_escape = dialog.isVisible();
        dialog.OnImmediatelyStopChase();
        ran = true;
    });
    dialog.exec();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(animating);
    EXPECT_TRUE(survived_escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.IsAnimating());
    // Stopping a dialog that is not open does nothing, and it opens again afterwards.
    dialog.OnImmediatelyStopChase();
    bool reopened = false;
    WhenDialogShows(&dialog, [&] {
        reopened = true;
        dialog.OnImmediatelyStopChase();
    });
    dialog.exec();
    EXPECT_TRUE(reopened);
}

TEST_F(ChaseDialogTest, ClosableDialogEndsOnEscape)
{
    PlexaControl::CChaseDialog dialog(&window_, QStringLiteral(":/missing.gif"),
                                      QStringLiteral("Wait"), true);
    WhenDialogShows(&dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    // Without its animation it still shows its text.
    EXPECT_FALSE(dialog.IsAnimating());
    EXPECT_EQ(dialog.GetText(), "Wait");
}

class MessageTipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window_ = std::make_unique<QWidget>();
        window_->resize(640, 360);
        window_->setStyleSheet("background: #e9ecef;");
        window_->show();
    }

    QList<CMessageTip *> TipsOverWindow() const
    {
        QList<CMessageTip *> over;
        for (auto *tip : Tips().OpenTips()) {
            if (tip->parentWidget() == window_.get())
                over.append(tip);
        }
        return over;
    }

    std::unique_ptr<QWidget> window_;
};

TEST_F(MessageTipTest, TipShowsOverTheWindowAndFadesAwayByItself)
{
    auto *child = new QLabel("inner", window_.get());
    Tips().ShowMessage(child, "Tag modified.", CMessageTip::AlertSuccess, 1, 15);
    auto tips = TipsOverWindow();
    ASSERT_EQ(tips.size(), 1);
    QPointer<CMessageTip> tip = tips.front();
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->objectName(), "ptr_tip_success_");
    // Over the middle of the window, near its top.
    EXPECT_NEAR(tip->geometry().center().x(), window_->width() / 2, 2);
    EXPECT_LT(tip->y(), window_->height() / 3);
    KeepPicture(window_.get(), "tip_success");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return tip.isNull(); },
                        CMessageTip::kShowMilliseconds + CMessageTip::kFadeMilliseconds + 10000));
    EXPECT_TRUE(TipsOverWindow().isEmpty());
}

TEST_F(MessageTipTest, NewTipReplacesTheOldAndAClickDismisses)
{
    Tips().ShowMessage(window_.get(), "first", CMessageTip::AlertInformation, 0, 15);
    QPointer<CMessageTip> first = TipsOverWindow().value(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->objectName(), "ptr_tip_information_");
    Tips().ShowMessage(window_.get(),
                       "Unlocking the file failed. The recorder did not answer in time.",
                       CMessageTip::AlertFailure, 0, 15);
    const auto tips = TipsOverWindow();
    ASSERT_EQ(tips.size(), 1);
    QPointer<CMessageTip> second = tips.front();
    EXPECT_EQ(second->objectName(), "ptr_tip_failure_");
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, kWaitMs));
    KeepPicture(window_.get(), "tip_failure");
    // A tip that does not hide by itself goes on a click.
    QTest::mouseClick(second.data(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.isNull(); }, kWaitMs));
}

TEST_F(MessageTipTest, TipFromAnotherThreadShowsOnThisOneUnlessItsParentIsGone)
{
    std::thread([&] {
        Tips().ShowMessage(window_.get(), "from a service", CMessageTip::AlertSuccess, 1, 15);
    }).join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return TipsOverWindow().size() == 1; }, kWaitMs));
    EXPECT_EQ(TipsOverWindow().front()->GetText(), "from a service");

    auto *doomed = new QWidget;
    doomed->show();
    std::thread([&] {
        Tips().ShowMessage(doomed, "too late", CMessageTip::AlertFailure, 1, 15);
    }).join();
    delete doomed;
    QCoreApplication::processEvents();
    for (auto *tip : Tips().OpenTips())
        EXPECT_NE(tip->GetText(), "too late");
}

TEST(Translations, EveryKeyOfTheOperationsHasEnglishText)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load("TeskVideoSearch_en", TVS_TRANSLATIONS_DIR));
    const struct
    {
        const char *context;
        const char *key;
    } keys[] = {
        {"TeskVideoSearch::CTagLockOperateController", "TagModified"},
        {"TeskVideoSearch::CTagLockOperateController", "ModifyingTagFailed"},
        {"TeskVideoSearch::CTagLockOperateController", "TagDeleted"},
        {"TeskVideoSearch::CTagLockOperateController", "FailedToDeleteTag"},
        {"TeskVideoSearch::CTagLockOperateController", "UnlockSuccessfullypKfsRLwniz"},
        {"TeskVideoSearch::CTagLockOperateController", "UnlockingTheFileFailed"},
        {"PlexaControl::CChaseDialog", "Loading..."},
    };
    for (const auto &k : keys) {
        const QString text = translator.translate(k.context, k.key);
        EXPECT_FALSE(text.isEmpty()) << k.context << " " << k.key;
        EXPECT_NE(text, QString::fromLatin1(k.key));
    }
}

} // namespace
