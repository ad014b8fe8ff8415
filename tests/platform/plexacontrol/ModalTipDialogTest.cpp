#include "plexacontrol/ModalTipDialog.h"
#include "plexacontrol/FancyTabBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

using PlexaControl::CModalTipDialog;

// Acts on the dialog from inside its own event loop, as an operator would, once it shows.
void WhenModalShows(std::function<void(CModalTipDialog *)> act)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto *dialog = qobject_cast<CModalTipDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

TEST(ModalTipDialog, OperatorAnswersWithButtonsOrEscape)
{
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    struct Row
    {
        const char *name;
        std::function<void(CModalTipDialog *)> act;
        int answer;
    };
    const Row rows[] = {
        {"ok", [](CModalTipDialog *d) { QTest::mouseClick(d->GetOkButton(), Qt::LeftButton); },
         QDialog::Accepted},
        {"cancel",
         [](CModalTipDialog *d) { QTest::mouseClick(d->GetCancelButton(), Qt::LeftButton); },
         QDialog::Rejected},
        {"escape", [](CModalTipDialog *d) { QTest::keyClick(d, Qt::Key_Escape); },
         QDialog::Rejected},
    };
    for (const Row &row : rows) {
        QString shown;
        WhenModalShows([&](CModalTipDialog *dialog) {
            shown = dialog->GetText();
            row.act(dialog);
        });
        const int answer = CModalTipDialog::ShowModalTipDialog(
            QStringLiteral("Delete \"<b>x</b>\"?"),
            CModalTipDialog::ButtonOk | CModalTipDialog::ButtonCancel, CModalTipDialog::IconWarning,
            &owner);
        EXPECT_EQ(answer, row.answer) << row.name;
        // Text from a file name is never read as rich text.
        EXPECT_EQ(shown, QStringLiteral("Delete \"<b>x</b>\"?")) << row.name;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << row.name;
    }
}

TEST(ModalTipDialog, AnswerHandlerReplacesTheOperatorUntilCleared)
{
    int asked = 0;
    auto previous = CModalTipDialog::SetAnswerHandler([&](const QString &text, QWidget *) {
        ++asked;
        return text == "yes" ? QDialog::Accepted : QDialog::Rejected;
    });
    EXPECT_EQ(CModalTipDialog::ShowModalTipDialog("yes", CModalTipDialog::ButtonOk, 0, nullptr),
              QDialog::Accepted);
    EXPECT_EQ(CModalTipDialog::ShowModalTipDialog("no", CModalTipDialog::ButtonOk, 0, nullptr),
              QDialog::Rejected);
    EXPECT_EQ(asked, 2);
    CModalTipDialog::SetAnswerHandler(previous);

    // A dialog asked for no buttons still offers one to answer it.
    CModalTipDialog bare("x", 0, CModalTipDialog::IconInformation, nullptr);
    EXPECT_NE(bare.GetOkButton(), nullptr);
    EXPECT_EQ(bare.GetCancelButton(), nullptr);
}

TEST(FancyTabBarLine, MenuButtonListsTabsOnlyWhileTheyDoNotFit)
{
    PlexaControl::CFancyTabBarPanel::setMenuBtnText(QStringLiteral("All"));
    PlexaControl::CFancyTabBarLine line;
    auto *bar = line.CreateTabBar();
    line.setButtonMode(PlexaControl::CFancyTabBarLine::ButtonModeMenu);
    for (const char *text : {"All Recordings(120)", "Person(4)", "Vehicle(9)", "Locked(2)"})
        bar->addTab(QString::fromLatin1(text));
    line.setFixedSize(bar->sizeHint().width() + 80, 40);
    line.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&line));
    QToolButton *menu = line.GetMenuButton();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->isVisible());

    line.setFixedWidth(bar->sizeHint().width() / 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    EXPECT_TRUE(menu->text().startsWith("All"));
    // What shows of the bar, left of the menu button: a tab is there whole or not at all.
    QTest::qWait(50);
    QRegion shown(QRect(0, 0, menu->x() - bar->x(), bar->height()));
    if (!bar->mask().isEmpty())
        shown &= bar->mask();
    int whole = 0;
    for (int i = 0; i < bar->count(); ++i) {
        const QRect tab = bar->tabRect(i);
        const bool is_whole = (shown & QRegion(tab)) == QRegion(tab);
        EXPECT_TRUE(is_whole || !shown.intersects(tab)) << "tab " << i << " is cut";
        whole += is_whole ? 1 : 0;
    }
    EXPECT_GE(whole, 1);

    bar->setTabText(0, "A");
    while (bar->count() > 1)
        bar->removeTab(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }, 5000));
}

} // namespace
