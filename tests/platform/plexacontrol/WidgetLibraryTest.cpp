#include "WaitFor.h"
#include "lattice/ExtensibleWidget.h"
#include "plexacontrol/BeginEndCalendarTimePopup.h"
#include "plexacontrol/EditComboBox.h"
#include "plexacontrol/TreeView.h"
#include "plexacontrol/Widget.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>

namespace {

// Counts the paints of a widget.
class CPaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(TreeView, RowsAddedOutOfSightDoNotRepaintButShownRowsDo)
{
    QStandardItemModel model;
    for (int row = 0; row < 200; ++row)
        model.appendRow(new QStandardItem(QString::number(row)));
    PlexaControl::CTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    CPaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    // The view knows a row below another only once it has laid the rows out again; a repaint
    // it asks for then is delivered with the next events.
    const auto settle = [&](int last_row) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return view.indexBelow(model.index(last_row - 1, 0)).isValid(); }, 5000));
        QCoreApplication::processEvents();
    };
    settle(199);
    counter.paints = 0;

    for (int row = 0; row < 60; ++row)
        model.appendRow(new QStandardItem(QStringLiteral("more %1").arg(row)));
    settle(259);
    EXPECT_EQ(counter.paints, 0);
    view.scrollToBottom();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 5000));
    EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(model.index(259, 0))));

    // Rows put before the shown ones move them: repainted.
    view.scrollToTop();
    QCoreApplication::processEvents();
    counter.paints = 0;
    model.insertRow(0, new QStandardItem("first"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 5000));
    EXPECT_EQ(view.indexAt(QPoint(5, 5)).data().toString(), "first");
}

TEST(BeginEndCalendarTimePopup, TwoDayClicksPickThePeriod)
{
    PlexaControl::CBeginEndCalendarTimePopup popup;
    popup.SetDateTimeRange(QDateTime(QDate(2026, 4, 10), QTime(8, 0)),
                           QDateTime(QDate(2026, 4, 10), QTime(9, 0)));
    QSignalSpy chosen(&popup, &PlexaControl::CBeginEndCalendarTimePopup::SignalDateTimeChanged);
    struct Step
    {
        QDate clicked;
        QDateTime begin;
        QDateTime end;
    };
    const Step steps[] = {
        // First click: that whole day.
        {QDate(2026, 4, 12), QDateTime(QDate(2026, 4, 12), QTime(0, 0)),
         QDateTime(QDate(2026, 4, 12), QTime(23, 59, 59))},
        // Second click after it: the end day.
        {QDate(2026, 4, 15), QDateTime(QDate(2026, 4, 12), QTime(0, 0)),
         QDateTime(QDate(2026, 4, 15), QTime(23, 59, 59))},
        // A new first click starts over.
        {QDate(2026, 4, 20), QDateTime(QDate(2026, 4, 20), QTime(0, 0)),
         QDateTime(QDate(2026, 4, 20), QTime(23, 59, 59))},
        // A second click before the first becomes the begin.
        {QDate(2026, 4, 18), QDateTime(QDate(2026, 4, 18), QTime(0, 0)),
         QDateTime(QDate(2026, 4, 20), QTime(23, 59, 59))},
    };
    for (const Step &step : steps) {
        emit popup.GetCalendar()->clicked(step.clicked);
        EXPECT_EQ(popup.GetBeginDateTime(), step.begin) << step.clicked.toString().toStdString();
        EXPECT_EQ(popup.GetEndDateTime(), step.end) << step.clicked.toString().toStdString();
    }
    EXPECT_EQ(chosen.count(), 0);
    QTest::mouseClick(popup.GetOkButton(), Qt::LeftButton);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().at(0).toDateTime(), steps[3].begin);
    EXPECT_EQ(chosen.first().at(1).toDateTime(), steps[3].end);
}

TEST(EditComboBox, EditableShowsItsOwnTextAndReportsTheListClosing)
{
    PlexaControl::CEditComboBox combo;
    combo.addItems({"One", "Two"});
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    combo.setCurrentIndex(1);
    combo.SetComboEditable(true);
    combo.SetEditText("1/1/26 - 1/2/26");
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_TRUE(combo.lineEdit()->isReadOnly());
    EXPECT_EQ(combo.lineEdit()->text(), "1/1/26 - 1/2/26");

    QSignalSpy hidden(&combo, &PlexaControl::CEditComboBox::SignalListViewHidden);
    QTest::mouseClick(combo.lineEdit(), Qt::LeftButton); // opens the list like a plain combo
    TVS_WAIT_TRUE(combo.view()->isVisible(), 5000);
    QTest::keyClick(combo.view(), Qt::Key_Escape);
    TVS_WAIT_EQ(hidden.count(), 1, 5000);
    combo.SetComboEditable(false);
    EXPECT_FALSE(combo.isEditable());
    EXPECT_EQ(combo.currentText(), "Two");
}

TEST(ExtensibleWidget, HeaderFoldsTheContent)
{
    Lattice::CExtensibleWidget section;
    section.SetTitle("Kinds");
    auto *content = new QLabel("content");
    section.SetContentWidget(content);
    section.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&section));
    EXPECT_FALSE(section.IsExpanded());
    EXPECT_FALSE(content->isVisible());
    QSignalSpy changed(&section, &Lattice::CExtensibleWidget::SignalExpandChanged);
    QTest::mouseClick(section.GetHeaderButton(), Qt::LeftButton);
    EXPECT_TRUE(content->isVisible());
    QTest::mouseClick(section.GetHeaderButton(), Qt::LeftButton);
    EXPECT_FALSE(content->isVisible());
    section.SetExpanded(false); // no change, no signal
    ASSERT_EQ(changed.count(), 2);
    EXPECT_TRUE(changed.at(0).at(0).toBool());
    EXPECT_FALSE(changed.at(1).at(0).toBool());
}

TEST(ScreenGeometry, PopupsAreMovedIntoTheScreen)
{
    const QRect bounds(0, 0, 1000, 800);
    struct Case
    {
        QRect wanted;
        QPoint fitted;
    };
    const Case cases[] = {
        {{100, 100, 300, 200}, {100, 100}}, {{900, 100, 300, 200}, {700, 100}},
        {{100, 700, 300, 200}, {100, 600}}, {{-50, -20, 300, 200}, {0, 0}},
        {{0, 0, 1200, 200}, {0, 0}}, // too wide: keeps its left edge on the screen
    };
    for (const Case &c : cases) {
        const QRect fitted = PlexaControl::FitIntoGeometry(c.wanted, bounds);
        EXPECT_EQ(fitted.topLeft(), c.fitted);
        EXPECT_EQ(fitted.size(), c.wanted.size());
    }
    EXPECT_EQ(PlexaControl::FitIntoGeometry(QRect(1, 2, 3, 4), QRect()), QRect(1, 2, 3, 4));
}

} // namespace
