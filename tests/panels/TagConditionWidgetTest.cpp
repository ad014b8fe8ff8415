#include "panels/TagConditionWidget.h"
#include "Screenshot.h"

#include "lattice/ExtensibleWidget.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolButton>

using namespace TeskVideoSearch;

namespace {

QCheckBox *Box(QWidget &w, const char *name)
{
    auto *box = w.findChild<QCheckBox *>(name);
    EXPECT_TRUE(box) << name;
    return box;
}

// On the indicator: a box wider than its text does not take clicks right of the text.
void Click(QCheckBox *box)
{
    QTest::mouseClick(
        box, Qt::LeftButton, {},
        QPoint(box->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 1, box->height() / 2));
}

void Unfold(CTagConditionWidget &w)
{
    auto *section = w.findChild<Lattice::CExtensibleWidget *>("ptr_extensible_widget_");
    ASSERT_TRUE(section);
    QTest::mouseClick(section->GetHeaderButton(), Qt::LeftButton);
    ASSERT_TRUE(w.IsExpanded());
}

struct KindsCase
{
    TagDisplayType mode;
    std::vector<const char *> ticked; // boxes clicked in this order
    QVector<VideoDataType> folded;
    QVector<VideoDataType> unfolded;
};

class TagConditionKinds : public ::testing::TestWithParam<KindsCase>
{};

TEST_P(TagConditionKinds, PerModeAndFoldState)
{
    const KindsCase &c = GetParam();
    CTagConditionWidget w;
    w.Init(c.mode);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(w.IsExpanded());
    EXPECT_EQ(w.GetSearchKinds(), c.folded);
    Unfold(w);
    for (const char *name : c.ticked)
        Click(Box(w, name));
    EXPECT_EQ(w.GetSearchKinds(), c.unfolded);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TagConditionKinds,
    ::testing::Values(KindsCase{TagDisplaySimple,
                                {"ptr_simple_lock_check_", "ptr_simple_manual_check_"},
                                {RegularVideo, TagVideo, LockVideo},
                                {TagVideo, LockVideo}},
                      // Reported in the boxes' order, whatever order they were ticked in.
                      KindsCase{TagDisplayFull,
                                {"ptr_other_tag_check_", "ptr_person_check_", "ptr_all_check_"},
                                {RegularVideo, PersonDetectVideo, VehicleDetectVideo,
                                 EventAlarmVideo, TagVideo, LockVideo, OtherVideo},
                                {RegularVideo, PersonDetectVideo, OtherVideo}}));

TEST(TagCondition, FullModeNameFieldFollowsTheTagBoxes)
{
    CTagConditionWidget w;
    w.Init(TagDisplayFull);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Unfold(w);
    auto *name_area = w.findChild<QWidget *>("ptr_full_name_widget_");
    EXPECT_FALSE(w.findChild<QWidget *>("ptr_simple_widget_")->isVisible());
    EXPECT_FALSE(name_area->isVisible());
    QSignalSpy changed(&w, &CTagConditionWidget::SignalTagTypeChanged);

    struct Step
    {
        const char *box;
        bool name_shown;
    };
    const Step steps[] = {{"ptr_person_check_", false},     {"ptr_event_tag_check_", true},
                          {"ptr_manual_tag_check_", true},  {"ptr_event_tag_check_", true},
                          {"ptr_manual_tag_check_", false}, {"ptr_other_tag_check_", true},
                          {"ptr_other_tag_check_", false}};
    for (const Step &step : steps) {
        Click(Box(w, step.box));
        EXPECT_EQ(name_area->isVisible(), step.name_shown) << step.box;
    }
    EXPECT_EQ(changed.count(), int(std::size(steps)));
    EXPECT_EQ(w.GetTagType(), TagTypeInvalid);
    Click(Box(w, "ptr_event_tag_check_"));
    QTest::keyClicks(w.findChild<QLineEdit *>("ptr_full_name_edit_"), "door");
    EXPECT_EQ(w.GetTagName(), "door");
}

TEST(TagCondition, SimpleModeTagTypesAndName)
{
    CTagConditionWidget w;
    w.Init(TagDisplaySimple);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Unfold(w);
    EXPECT_FALSE(w.findChild<QWidget *>("ptr_full_widget_")->isVisible());
    auto *tag_area = w.findChild<QWidget *>("ptr_simple_tag_widget_");
    EXPECT_FALSE(tag_area->isVisible());
    EXPECT_EQ(w.GetTagType(), TagChoiceAll);

    Click(Box(w, "ptr_simple_lock_check_"));
    EXPECT_FALSE(tag_area->isVisible());
    Click(Box(w, "ptr_simple_manual_check_"));
    EXPECT_TRUE(tag_area->isVisible());

    const std::pair<const char *, int> radios[] = {{"ptr_tag_blue_radio_", TagChoiceBlue},
                                                   {"ptr_tag_yellow_radio_", TagChoiceYellow},
                                                   {"ptr_tag_red_radio_", TagChoiceRed},
                                                   {"ptr_tag_green_radio_", TagChoiceGreen},
                                                   {"ptr_tag_all_radio_", TagChoiceAll}};
    QSignalSpy changed(&w, &CTagConditionWidget::SignalTagTypeChanged);
    for (const auto &radio : radios) {
        QTest::mouseClick(w.findChild<QRadioButton *>(radio.first), Qt::LeftButton);
        EXPECT_EQ(w.GetTagType(), radio.second) << radio.first;
    }
    EXPECT_EQ(changed.count(), int(std::size(radios)));
    QTest::keyClicks(w.findChild<QLineEdit *>("ptr_simple_name_edit_"), "gate");
    EXPECT_EQ(w.GetTagName(), "gate");
    TestSupport::SaveShot(&w, "cond-kinds-simple.png");
}

} // namespace
