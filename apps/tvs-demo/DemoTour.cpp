#include "DemoTour.h"
#include "DemoTour_p.h"

#include "DemoExpandInterface.h"
#include "DemoMainWindow.h"
#include "TimeLapseTasksWidget.h"
#include "TrackMapWidget.h"

#include "data/CustomVideoData.h"
#include "mirelog/Log.h"
#include "panels/ClipVideoSearchWidget.h"
#include "playback/ClipPlaybackWidget.h"
#include "pluginmanager/PluginManager.h"
#include "pluginmanager/ResourceData.h"
#include "search/SearchTypes.h"
#include "timebar/AnimationProgressBar.h"
#include "views/GridThumbnailWidget.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QPainter>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>

#include <cstdio>

namespace TeskVideoSearch {

namespace {

// Between the events of one gesture the event loop turns, as between a person's actions.
constexpr int kPumpMs = 20;
// Time for a played clip to show its first frames before its screenshot.
constexpr int kSettleMs = 600;
constexpr int kPicturesWaitMs = 10000;
constexpr int kWheelStep = 120;
// How often the tour looks for a modal dialog to answer.
constexpr int kModalWatchMs = 50;
const QRegularExpression kFinalCount(QStringLiteral("\\((\\d+)\\)\\s*$"));

// Visible widgets of a class (by its qualified name) under `root`, in creation order.
QList<QWidget *> VisibleOfClass(QWidget *root, const char *class_name)
{
    QList<QWidget *> found;
    for (QWidget *child : root->findChildren<QWidget *>()) {
        if (child->isVisible() && child->inherits(class_name))
            found.append(child);
    }
    return found;
}

// True once every tile in view on `page` shows its picture or its failure: a screenshot taken
// then shows what the operator sees a moment after the results come.
bool TilesInViewSettled(QWidget *page)
{
    bool any = false;
    for (QWidget *tile : VisibleOfClass(page, "TeskVideoSearch::CGridThumbnailWidget")) {
        if (tile->visibleRegion().isEmpty())
            continue;
        any = true;
        const int state =
            static_cast<TeskVideoSearch::CGridThumbnailWidget *>(tile)->ThumbnailState();
        if (state != TeskVideoSearch::ThumbnailLoaded && state != TeskVideoSearch::ThumbnailFailed)
            return false;
    }
    return any;
}

QWidget *VisibleTopLevelOfClass(const char *class_name)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->inherits(class_name))
            return top;
    }
    return nullptr;
}

void Click(QWidget *widget, QPoint at = QPoint())
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                      at.isNull() ? widget->rect().center() : at);
    QTest::qWait(kPumpMs);
}

void TypeInto(QLineEdit *edit, const QString &text)
{
    Click(edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Opens a menu of the menu bar and triggers the item, through a submenu when `sub` is given.
bool ClickMenu(QMenuBar *bar, const QString &menu_title, const QString &sub, const QString &item,
               QString &why)
{
    const auto strip = [](QString text) {
        return text.remove('&');
    };
    for (QAction *top : bar->actions()) {
        if (strip(top->text()) != menu_title)
            continue;
        // A menu opens in the active window: after another window, the main one comes first.
        QWidget *window = bar->window();
        if (!window->isActiveWindow()) {
            window->activateWindow();
            window->raise();
            (void)QTest::qWaitForWindowActive(window, 3000);
        }
        Click(bar, bar->actionGeometry(top).center());
        QMenu *menu = top->menu();
        if (!menu || !QTest::qWaitFor([menu]() { return menu->isVisible(); }, 3000)) {
            why = "the menu " + menu_title + " did not open";
            return false;
        }
        if (!sub.isEmpty()) {
            QAction *sub_action = nullptr;
            for (QAction *a : menu->actions())
                if (strip(a->text()) == sub)
                    sub_action = a;
            if (!sub_action || !sub_action->menu()) {
                why = "no submenu " + sub;
                return false;
            }
            Click(menu, menu->actionGeometry(sub_action).center());
            menu = sub_action->menu();
            if (!QTest::qWaitFor([menu]() { return menu->isVisible(); }, 3000)) {
                why = "the submenu " + sub + " did not open";
                return false;
            }
        }
        for (QAction *a : menu->actions()) {
            if (strip(a->text()) == item) {
                Click(menu, menu->actionGeometry(a).center());
                return true;
            }
        }
        why = "no item " + item + " in the menu " + menu_title;
        return false;
    }
    why = "no menu " + menu_title;
    return false;
}

} // namespace

CDemoTour::CDemoTour(CDemoMainWindow *window, const QString &shot_dir, QObject *parent)
    : QObject(parent)
    , data_(std::make_shared<UDemoTourData>())
{
    data_->ptr_window_ = window;
    data_->shot_dir = shot_dir;
    if (!shot_dir.isEmpty()) {
        // Exports never replace a file: every tour exports into a folder of its own.
        data_->export_dir = QDir(shot_dir).filePath(
            "exports/" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss-zzz"));
        data_->timelapse_dir = QDir(shot_dir).filePath("timelapse");
    }
}

CDemoTour::~CDemoTour() = default;

int CDemoTour::FailedCount() const
{
    return data_->qvc_failures_.size();
}

QStringList CDemoTour::Failures() const
{
    return data_->qvc_failures_;
}

double CDemoTour::ResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1.0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return -1.0;
}

bool CDemoTour::WaitFor(const std::function<bool()> &condition, int timeout_ms)
{
    return QTest::qWaitFor(condition, timeout_ms);
}

QWidget *CDemoTour::Find(const QString &object_name, QString &why) const
{
    QWidget *fallback = nullptr;
    QList<QWidget *> roots = {data_->ptr_window_};
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top != data_->ptr_window_)
            roots.append(top);
    }
    for (QWidget *root : roots) {
        QList<QWidget *> candidates = root->findChildren<QWidget *>(object_name);
        if (root->objectName() == object_name)
            candidates.prepend(root);
        for (QWidget *widget : candidates) {
            if (widget->isVisible())
                return widget;
            if (!fallback)
                fallback = widget;
        }
    }
    if (!fallback)
        why = QStringLiteral("no widget named %1").arg(object_name);
    return fallback;
}

bool CDemoTour::Shot(const QString &name)
{
    auto &d = *data_;
    if (d.shot_dir.isEmpty())
        return true;
    // The main window, with the pop-ups and dialogs over it where they are on the screen.
    QWidget *base =
        d.ptr_window_->AuxiliaryWindow() && d.ptr_window_->AuxiliaryWindow()->isVisible()
            ? d.ptr_window_->AuxiliaryWindow()
            : d.ptr_window_;
    // Windows over or beside it (side panels, pop-ups, dialogs) widen the picture to hold them.
    QList<QWidget *> others;
    QRect area(base->mapToGlobal(QPoint()), base->size());
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top == base || top == d.ptr_window_ || !top->isVisible() || top->inherits("QTipLabel"))
            continue;
        others.append(top);
        area |= QRect(top->mapToGlobal(QPoint()), top->size());
    }
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0x30, 0x30, 0x30));
    QPainter painter(&image);
    painter.drawPixmap(base->mapToGlobal(QPoint()) - area.topLeft(), base->grab());
    for (QWidget *top : others)
        painter.drawPixmap(top->mapToGlobal(QPoint()) - area.topLeft(), top->grab());
    painter.end();
    const QString file =
        QDir(d.shot_dir)
            .filePath(
                QStringLiteral("%1-%2.png").arg(++d.shot_number_, 2, 10, QChar('0')).arg(name));
    const QString partial = file + ".partial";
    // A screenshot of an earlier tour in the same folder is the tour's own file to replace.
    const bool saved =
        image.save(partial, "PNG") &&
        (QFile::rename(partial, file) || (QFile::remove(file) && QFile::rename(partial, file)));
    if (!saved) {
        QFile::remove(partial);
        std::fprintf(stderr, "tour: cannot write the screenshot %s\n", qPrintable(file));
        return false;
    }
    return true;
}

void CDemoTour::OnWatchModal()
{
    auto &d = *data_;
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || d.is_answering_)
        return;
    const bool accept = d.is_confirm_next_;
    QAbstractButton *button = nullptr;
    for (auto *candidate : modal->findChildren<QAbstractButton *>()) {
        const QString name = candidate->objectName().toLower();
        if (candidate->isVisible() && name.contains(accept ? "ok" : "cancel"))
            button = candidate;
    }
    // A waiting dialog without answers closes itself when its work ends.
    if (!button)
        return;
    d.is_answering_ = true;
    const auto *text = modal->findChild<QLabel *>("ptr_tip_text_label_");
    const QString question = text ? text->text() : modal->windowTitle();
    Shot(accept ? "confirmation" : "question");
    if (accept) {
        d.is_confirm_next_ = false;
        ++d.confirmations_;
    } else {
        // A question the step did not ask for: a person would decline it and go on.
        std::printf("tour: answered \"%s\" to the question \"%s\"\n", accept ? "OK" : "Cancel",
                    qPrintable(question));
    }
    Click(button);
    d.is_answering_ = false;
}

int CDemoTour::Run()
{
    auto &d = *data_;
    d.qvc_failures_.clear();
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, &CDemoTour::OnWatchModal);
    watch.start(kModalWatchMs);
    const QList<TourStep> steps = Steps();
    int number = 0;
    for (const TourStep &step : steps) {
        ++number;
        QString why;
        QElapsedTimer clock;
        clock.start();
        bool ok = false;
        try {
            ok = step.run(why);
        } catch (const std::exception &error) {
            why = QString::fromLocal8Bit(error.what());
        }
        // Pop-ups of a failed step would cover the next one.
        if (!ok && QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
        const bool shot = Shot(step.name);
        if (ok && !shot) {
            ok = false;
            why = "its screenshot could not be written";
        }
        if (ok) {
            std::printf("tour: step %2d %-22s ok (%.1f s)\n", number, qPrintable(step.name),
                        clock.elapsed() / 1000.0);
        } else {
            const QString line = QStringLiteral("step %1 %2: %3").arg(number).arg(step.name, why);
            d.qvc_failures_.append(line);
            std::printf("tour: step %2d %-22s FAILED: %s\n", number, qPrintable(step.name),
                        qPrintable(why));
            TESK_LOG_ERROR("Tour %s", qPrintable(line));
        }
        std::fflush(stdout);
    }
    return d.qvc_failures_.size();
}

QList<TourStep> CDemoTour::Steps()
{
    const auto bind = [this](bool (CDemoTour::*step)(QString &)) {
        return [this, step](QString &why) {
            return (this->*step)(why);
        };
    };
    return {
        {"start",
         [this](QString &why) {
             auto *panel = data_->ptr_window_->Panel();
             // The pages come one event-loop turn after the panel's initialisation.
             if (!WaitFor(
                     [&]() { return panel->isVisible() && Find("ptr_all_video_page", why); })) {
                 why = "the panel or its result pages did not appear: " + why;
                 return false;
             }
             // Each tour starts from the empty panel, whatever an earlier tour left.
             data_->ptr_window_->OnClearResults();
             return Find("ptr_search_btn_", why) != nullptr;
         }},
        {"cameras",
         [this](QString &why) {
             return PickCameras(6, why);
         }},
        {"period", bind(&CDemoTour::PickWeek)},
        {"kinds", bind(&CDemoTour::PickAllKinds)},
        {"search", bind(&CDemoTour::Search)},
        {"pages", bind(&CDemoTour::SwitchPages)},
        {"presentations", bind(&CDemoTour::SwitchPresentations)},
        {"timebar-zoom", bind(&CDemoTour::ZoomTimeBar)},
        {"operation-popup", bind(&CDemoTour::OpenOperationPopup)},
        {"play", bind(&CDemoTour::PlayResult)},
        {"next", bind(&CDemoTour::StepToNext)},
        {"tag-edit", bind(&CDemoTour::EditTag)},
        {"unlock", bind(&CDemoTour::Unlock)},
        {"export", bind(&CDemoTour::ExportTwo)},
        {"time-lapse", bind(&CDemoTour::RunTimeLapse)},
        {"switch-user", bind(&CDemoTour::SwitchUser)},
        {"auxiliary-screen", bind(&CDemoTour::AuxiliaryScreen)},
    };
}

bool CDemoTour::PickCameras(int count, QString &why)
{
    auto *tree = qobject_cast<QTreeWidget *>(Find("ptr_resource_tree_", why));
    if (!tree)
        return false;
    if (!WaitFor([tree]() { return tree->topLevelItemCount() > 0; })) {
        why = "the camera tree stayed empty";
        return false;
    }
    tree->expandAll();
    QTest::qWait(kPumpMs);
    QList<QTreeWidgetItem *> cameras;
    for (QTreeWidgetItemIterator it(tree); *it && cameras.size() < count; ++it) {
        if ((*it)->childCount() == 0 && ((*it)->flags() & Qt::ItemIsUserCheckable))
            cameras.append(*it);
    }
    if (cameras.isEmpty()) {
        why = "the camera tree holds no camera";
        return false;
    }
    for (QTreeWidgetItem *item : cameras) {
        if (item->checkState(0) == Qt::Checked)
            continue;
        tree->scrollToItem(item);
        // A click makes the camera current; the space bar ticks it, as a person would.
        Click(tree->viewport(), tree->visualItemRect(item).center());
        QTest::keyClick(tree->viewport(), Qt::Key_Space);
        if (item->checkState(0) != Qt::Checked) {
            why = "the camera " + item->text(0) + " could not be ticked";
            return false;
        }
    }
    return true;
}

bool CDemoTour::PickWeek(QString &why)
{
    auto *calendar = qobject_cast<QComboBox *>(Find("ptr_calendar_widget_", why));
    if (!calendar)
        return false;
    const int row = calendar->findData(static_cast<int>(RangeLastSevenDays));
    if (row < 0) {
        why = "the period selector offers no 7-day period";
        return false;
    }
    Click(calendar);
    QAbstractItemView *view = calendar->view();
    if (!WaitFor([view]() { return view->isVisible(); }, 5000)) {
        why = "the period list did not open";
        return false;
    }
    Shot("period-list");
    // The arrow keys and Enter choose in the open list, as a person would.
    for (int current = view->currentIndex().row(); current < row; ++current)
        QTest::keyClick(view, Qt::Key_Down);
    for (int current = view->currentIndex().row(); current > row; --current)
        QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    QTest::qWait(kPumpMs);
    if (calendar->currentIndex() != row) {
        why =
            QStringLiteral("the period is \"%1\", not the 7-day one").arg(calendar->currentText());
        return false;
    }
    return true;
}

bool CDemoTour::PickAllKinds(QString &why)
{
    // The full tag choice shows every kind with its own box.
    static const char *const kBoxes[] = {
        "ptr_all_check_",        "ptr_person_check_", "ptr_vehicle_check_",  "ptr_event_tag_check_",
        "ptr_manual_tag_check_", "ptr_lock_check_",   "ptr_other_tag_check_"};
    auto *first = qobject_cast<QCheckBox *>(Find(kBoxes[0], why));
    if (!first)
        return false;
    if (!first->isVisible()) {
        // The kinds sit in a folding section of the condition column.
        QWidget *section = first->parentWidget();
        while (section && !section->inherits("Lattice::CExtensibleWidget"))
            section = section->parentWidget();
        auto *header = section ? section->findChild<QAbstractButton *>("ptr_header_btn_") : nullptr;
        if (!header) {
            why = "the kinds are hidden and no section header unfolds them";
            return false;
        }
        Click(header);
    }
    for (const char *name : kBoxes) {
        auto *box = qobject_cast<QCheckBox *>(Find(name, why));
        if (!box)
            return false;
        if (!box->isVisible()) {
            why = QStringLiteral("the kind box %1 is hidden").arg(name);
            return false;
        }
        // On its mark: a box wider than its text takes clicks only there.
        if (!box->isChecked())
            Click(box, QPoint(box->height() / 2, box->height() / 2));
        if (!box->isChecked()) {
            why = QStringLiteral("the kind box %1 could not be ticked").arg(name);
            return false;
        }
    }
    return true;
}

namespace {

QTabBar *ResultTabBar(QWidget *panel)
{
    QWidget *frame = panel->findChild<QWidget *>("ptr_tab_bar_widget_");
    return frame ? frame->findChild<QTabBar *>() : nullptr;
}

// True when every tab shows its final count.
bool AllCountsFinal(QTabBar *tabs)
{
    if (!tabs || tabs->count() == 0)
        return false;
    for (int i = 0; i < tabs->count(); ++i) {
        if (!kFinalCount.match(tabs->tabText(i)).hasMatch())
            return false;
    }
    return true;
}

int TabCount(QTabBar *tabs, int index)
{
    return kFinalCount.match(tabs->tabText(index)).captured(1).toInt();
}

QWidget *CurrentPage(QWidget *panel)
{
    auto *stack = panel->findChild<QStackedWidget *>("ptr_stack_widget_");
    return stack ? stack->currentWidget() : nullptr;
}

// A page shows its own waiting animation until its search has ended; counts shown meanwhile
// are the answers so far.
bool AnyPageSearching(QWidget *panel)
{
    auto *stack = panel->findChild<QStackedWidget *>("ptr_stack_widget_");
    if (!stack)
        return false;
    for (int i = 0; i < stack->count(); ++i) {
        for (QMovie *movie :
             stack->widget(i)->findChildren<QMovie *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (movie->state() == QMovie::Running)
                return true;
        }
    }
    return false;
}

} // namespace

bool CDemoTour::Search(QString &why)
{
    auto *button = Find("ptr_search_btn_", why);
    if (!button)
        return false;
    Click(button);
    QTabBar *tabs = nullptr;
    if (!WaitFor([&]() {
            tabs = ResultTabBar(data_->ptr_window_->Panel());
            return AllCountsFinal(tabs);
        })) {
        why = tabs ? "the tabs did not all show a final count: " +
                         [&]() {
                             QStringList texts;
                             for (int i = 0; i < tabs->count(); ++i)
                                 texts << tabs->tabText(i);
                             return texts.join(", ");
                         }()
                   : QStringLiteral("no result tab bar");
        return false;
    }
    int total = 0;
    for (int i = 0; i < tabs->count(); ++i)
        total += TabCount(tabs, i);
    if (total == 0) {
        why = "the search found nothing at all";
        return false;
    }
    // Pictures come a few at a time and a first run decodes them cold; the shot may go without.
    QWidget *page = CurrentPage(data_->ptr_window_->Panel());
    (void)WaitFor([page]() { return page && TilesInViewSettled(page); }, kPicturesWaitMs);
    return true;
}

bool CDemoTour::SwitchPages(QString &why)
{
    QWidget *panel = data_->ptr_window_->Panel();
    QTabBar *tabs = ResultTabBar(panel);
    if (!tabs || tabs->count() < 2) {
        why = "fewer than two result tabs";
        return false;
    }
    QStringList seen;
    for (int i = tabs->count() - 1; i >= 0; --i) {
        Click(tabs, tabs->tabRect(i).center());
        QWidget *page = CurrentPage(panel);
        if (tabs->currentIndex() != i || !page || seen.contains(page->objectName())) {
            why = QStringLiteral("the tab \"%1\" did not bring its own page").arg(tabs->tabText(i));
            return false;
        }
        seen << page->objectName();
        if (i == tabs->count() - 2)
            Shot("page-" + page->objectName());
    }
    return true;
}

namespace {

// Shows the page of `page_name` through its tab.
bool GoToPage(QWidget *panel, const QString &page_name, QString &why)
{
    QTabBar *tabs = ResultTabBar(panel);
    if (!tabs) {
        why = "no result tab bar";
        return false;
    }
    for (int i = 0; i < tabs->count(); ++i) {
        Click(tabs, tabs->tabRect(i).center());
        QWidget *page = CurrentPage(panel);
        if (page && page->objectName() == page_name)
            return true;
    }
    why = "no tab shows the page " + page_name;
    return false;
}

} // namespace

bool CDemoTour::SwitchPresentations(QString &why)
{
    QWidget *panel = data_->ptr_window_->Panel();
    if (!GoToPage(panel, "ptr_all_video_page", why))
        return false;
    QWidget *page = CurrentPage(panel);
    auto *list_btn = page->findChild<QWidget *>("ptr_list_btn_");
    auto *thumb_btn = page->findChild<QWidget *>("ptr_thumbnail_btn_");
    auto *list_page = page->findChild<QWidget *>("ptr_list_page_");
    auto *thumb_page = page->findChild<QWidget *>("ptr_thumbnail_page_");
    if (!list_btn || !thumb_btn || !list_page || !thumb_page) {
        why = "the page has no thumbnail/list switch";
        return false;
    }
    Click(list_btn);
    if (!WaitFor([list_page]() { return list_page->isVisible(); }, 5000)) {
        why = "the list did not show";
        return false;
    }
    Shot("list");
    Click(thumb_btn);
    if (!WaitFor([thumb_page]() { return thumb_page->isVisible(); }, 5000)) {
        why = "the thumbnails did not show";
        return false;
    }
    // Thumbnails are fetched in the background; the screenshot should show pictures.
    (void)WaitFor([page]() { return TilesInViewSettled(page); }, kPicturesWaitMs);
    QTest::qWait(kSettleMs);
    return true;
}

bool CDemoTour::ZoomTimeBar(QString &why)
{
    QWidget *page = CurrentPage(data_->ptr_window_->Panel());
    auto *bar = page ? qobject_cast<CAnimationProgressBar *>(
                           page->findChild<QWidget *>("ptr_bottom_time_widget_"))
                     : nullptr;
    if (!bar || !bar->isVisible()) {
        why = "no time bar on the page";
        return false;
    }
    const auto before = bar->GetCurrentLevel();
    const QPoint at = bar->rect().center();
    for (int turn = 0; turn < 2; ++turn) {
        QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, kWheelStep), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        QTest::qWait(kSettleMs / 2);
    }
    if (!WaitFor([&]() { return bar->GetCurrentLevel() != before; }, 5000)) {
        why = QStringLiteral("the wheel left the time bar at level %1").arg(before);
        return false;
    }
    return true;
}

bool CDemoTour::OpenOperationPopup(QString &why)
{
    QWidget *page = CurrentPage(data_->ptr_window_->Panel());
    // A zoom re-splits the recordings in the background; the tiles come back after it.
    QList<QWidget *> tiles;
    if (!page || !WaitFor(
                     [&]() {
                         tiles = VisibleOfClass(page, "TeskVideoSearch::CGridThumbnailWidget");
                         return !tiles.isEmpty();
                     },
                     15000)) {
        why = "no thumbnail tile on the page";
        return false;
    }
    QWidget *tile = tiles.front();
    // From outside onto the tile, so that it sees the pointer enter.
    QTest::mouseMove(data_->ptr_window_->statusBar());
    QTest::qWait(kPumpMs);
    QTest::mouseMove(tile, tile->rect().center());
    QWidget *more = tile->findChild<QWidget *>("ptr_more_label_");
    if (!WaitFor(
            [&]() {
                more = tile->findChild<QWidget *>("ptr_more_label_");
                if (!more)
                    more = tile->findChild<QWidget *>("ptr_more_label_hover_");
                return more && more->isVisible();
            },
            5000)) {
        why = "hovering a tile showed no \"more\" button";
        return false;
    }
    const QPoint on_more = more->mapTo(tile, more->rect().center());
    QTest::mouseMove(tile, on_more);
    Click(tile, on_more);
    if (!WaitFor(
            []() {
                return VisibleTopLevelOfClass("TeskVideoSearch::CVideoOperationWidget") != nullptr;
            },
            5000)) {
        why = "the operation pop-up did not open";
        return false;
    }
    Shot("operation-popup-open");
    // A click elsewhere closes it, as for a person.
    Click(data_->ptr_window_->Panel()->findChild<QWidget *>("ptr_top_tool_widget_"));
    if (!WaitFor(
            []() {
                return VisibleTopLevelOfClass("TeskVideoSearch::CVideoOperationWidget") == nullptr;
            },
            5000)) {
        why = "the operation pop-up did not close on a click elsewhere";
        return false;
    }
    return true;
}

namespace {

CClipPlaybackWidget *Playback(QWidget *panel)
{
    return panel->findChild<CClipPlaybackWidget *>();
}

int PlayingId(CClipPlaybackWidget *playback)
{
    CClipPlaybackParam param;
    playback->GetPlaybackParam(param);
    return param.GetVal_current_data_id();
}

// Clicks the first tile of the shown page and waits for the playback area.
bool PlayFirstTile(QWidget *panel, QString &why)
{
    QWidget *page = CurrentPage(panel);
    QList<QWidget *> tiles;
    (void)QTest::qWaitFor(
        [&]() {
            tiles = page ? VisibleOfClass(page, "TeskVideoSearch::CGridThumbnailWidget")
                         : QList<QWidget *>();
            return !tiles.isEmpty();
        },
        10000);
    if (tiles.isEmpty()) {
        why = "no thumbnail tile to play on " + (page ? page->objectName() : QString("the page"));
        return false;
    }
    Click(tiles.front(), tiles.front()->rect().center() + QPoint(0, 10));
    CClipPlaybackWidget *playback = Playback(panel);
    if (!playback ||
        !QTest::qWaitFor([playback]() { return playback->isVisible() && PlayingId(playback) >= 0; },
                         10000)) {
        why = "a click on a tile did not open the playback area";
        return false;
    }
    return true;
}

} // namespace

bool CDemoTour::PlayResult(QString &why)
{
    QWidget *panel = data_->ptr_window_->Panel();
    if (!PlayFirstTile(panel, why))
        return false;
    auto *title = Playback(panel)->findChild<QLabel *>("ptr_title_label_");
    if (title && title->text().isEmpty()) {
        why = "the playback area shows no title";
        return false;
    }
    QTest::qWait(kSettleMs * 2);
    Shot("playing");
    // A camera worn on patrol reports its position: the map tab draws the track.
    CClipPlaybackWidget *playback = Playback(panel);
    auto *tabs = playback->findChild<QTabBar *>("ptr_tab_bar_");
    CTrackMapWidget *map = data_->ptr_window_->Expand()->Map();
    if (!tabs || tabs->count() < 2) {
        why = "the playback area offers no map tab";
        return false;
    }
    Click(tabs, tabs->tabRect(1).center());
    if (!WaitFor(
            [&]() {
                map = data_->ptr_window_->Expand()->Map();
                return map && map->isVisible() && map->PointCount() >= 2;
            },
            15000)) {
        why = "the map tab drew no track of the playing camera";
        return false;
    }
    Shot("map");
    Click(tabs, tabs->tabRect(0).center());
    return true;
}

bool CDemoTour::StepToNext(QString &why)
{
    CClipPlaybackWidget *playback = Playback(data_->ptr_window_->Panel());
    auto *next = playback ? playback->findChild<QAbstractButton *>("ptr_next_button_") : nullptr;
    if (!next || !next->isVisible()) {
        why = "no \"next\" button in the playback area";
        return false;
    }
    if (!next->isEnabled()) {
        why = "the \"next\" button is disabled on the first result";
        return false;
    }
    const int before = PlayingId(playback);
    Click(next);
    if (!WaitFor([&]() { return PlayingId(playback) != before && PlayingId(playback) >= 0; },
                 10000)) {
        why = QStringLiteral("\"next\" left the playback on result %1").arg(before);
        return false;
    }
    QTest::qWait(kSettleMs * 2);
    return true;
}

bool CDemoTour::EditTag(QString &why)
{
    QWidget *panel = data_->ptr_window_->Panel();
    if (!GoToPage(panel, "ptr_manual_tag_page", why) || !PlayFirstTile(panel, why))
        return false;
    CClipPlaybackWidget *playback = Playback(panel);
    auto *name = playback->findChild<QLineEdit *>("ptr_tag_name_edit_");
    auto *save = playback->findChild<QAbstractButton *>("ptr_save_btn_");
    if (!name || !name->isVisible() || !save || !save->isVisible()) {
        why = "the playback area shows no tag name or save button";
        return false;
    }
    const auto &catalogue = data_->ptr_window_->Server()->Catalogue();
    const int64_t changes = catalogue.Count("record_changes");
    const QString text =
        QStringLiteral("Checked by the tour %1").arg(QTime::currentTime().toString("HH:mm:ss"));
    TypeInto(name, text);
    Click(save);
    if (!WaitFor([&]() { return catalogue.Count("record_changes") > changes; }, 15000)) {
        why = "saving the tag changed nothing in the store";
        return false;
    }
    QTest::qWait(kSettleMs);
    return true;
}

bool CDemoTour::Unlock(QString &why)
{
    QWidget *panel = data_->ptr_window_->Panel();
    if (!GoToPage(panel, "ptr_lock_video_page", why))
        return false;
    QTabBar *tabs = ResultTabBar(panel);
    const int tab = tabs->currentIndex();
    const int count_before = TabCount(tabs, tab);
    if (!PlayFirstTile(panel, why))
        return false;
    CClipPlaybackWidget *playback = Playback(panel);
    QAbstractButton *unlock = nullptr;
    for (auto *button : playback->findChildren<QAbstractButton *>("ptr_unlock_btn_")) {
        if (button->isVisible())
            unlock = button;
    }
    if (!unlock || !unlock->isEnabled()) {
        why = "the playback area of a locked recording offers no unlock button";
        return false;
    }
    const auto &catalogue = data_->ptr_window_->Server()->Catalogue();
    const int64_t locks = catalogue.Count("locks");
    // The confirmation is modal: the watcher answers it from the event loop that it runs.
    const int answered = data_->confirmations_;
    data_->is_confirm_next_ = true;
    Click(unlock);
    if (!WaitFor([&]() { return data_->confirmations_ > answered; }, 10000)) {
        data_->is_confirm_next_ = false;
        why = "no confirmation was asked";
        return false;
    }
    if (!WaitFor([&]() { return catalogue.Count("locks") < locks; }, 15000)) {
        why = "the recording is still locked in the store";
        return false;
    }
    if (!WaitFor([&]() { return AllCountsFinal(tabs) && TabCount(tabs, tab) == count_before - 1; },
                 10000)) {
        why = QStringLiteral("the locked tab still counts %1").arg(tabs->tabText(tab));
        return false;
    }
    // The page reloads its results after the count; the screenshot shows it reloaded.
    QTest::qWait(kSettleMs);
    return true;
}

bool CDemoTour::ExportTwo(QString &why)
{
    auto &d = *data_;
    QWidget *panel = d.ptr_window_->Panel();
    if (!GoToPage(panel, "ptr_all_video_page", why))
        return false;
    QWidget *page = CurrentPage(panel);
    QList<QWidget *> tiles = VisibleOfClass(page, "TeskVideoSearch::CGridThumbnailWidget");
    if (tiles.size() < 2) {
        why = "fewer than two results to export";
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        // A tile builds its check box when first painted.
        QCheckBox *box = nullptr;
        if (!WaitFor([&]() { return (box = tiles.at(i)->findChild<QCheckBox *>()) != nullptr; },
                     5000)) {
            why = "a tile has no check box";
            return false;
        }
        Click(box, QPoint(box->height() / 2, box->height() / 2));
        if (!box->isChecked()) {
            why = "a tile's check box did not tick";
            return false;
        }
    }
    auto *download = page->findChild<QAbstractButton *>("ptr_download_button_");
    if (!download || !download->isEnabled()) {
        why = "the export button is missing or disabled with two results ticked";
        return false;
    }
    Click(download);
    QWidget *side = nullptr;
    if (!WaitFor(
            [&]() {
                side =
                    VisibleTopLevelOfClass("tesk_ui_data_controller::CDownloadFrameForVideoSearch");
                if (!side) {
                    for (QWidget *w : d.ptr_window_->findChildren<QWidget *>())
                        if (w->isVisible() &&
                            w->inherits("tesk_ui_data_controller::CDownloadFrameForVideoSearch"))
                            side = w;
                }
                return side != nullptr;
            },
            5000)) {
        why = "the export side panel did not open";
        return false;
    }
    QDir().mkpath(d.export_dir);
    if (auto *path = side->findChild<QLineEdit *>("ptr_save_path_edit_"))
        TypeInto(path, QDir::toNativeSeparators(d.export_dir));
    // It slides in; the picture is taken once it is all inside the window.
    QWidget *window = side->window();
    WaitFor([&]() { return side->mapTo(window, QPoint(side->width(), 0)).x() <= window->width(); },
            5000);
    Shot("export-side-panel");
    QAbstractButton *start = nullptr;
    for (auto *button : side->findChildren<QAbstractButton *>()) {
        if (button->isVisible() && button->objectName().contains("download", Qt::CaseInsensitive))
            start = button;
    }
    if (!start) {
        why = "the side panel has no download button";
        return false;
    }
    const int exports = d.ptr_window_->ExportCount();
    Click(start);
    if (!WaitFor([&]() { return d.ptr_window_->ExportCount() > exports; }, 120000)) {
        why = "the export did not finish";
        return false;
    }
    QString message;
    QStringList files;
    if (!d.ptr_window_->LastExport(message, files)) {
        why = "the export failed: " + message;
        return false;
    }
    if (files.isEmpty()) {
        why = "the export wrote no file";
        return false;
    }
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() < 1024 ||
            file.read(8).mid(4) != "ftyp") {
            why = "the exported file " + path + " is not a whole MP4 file";
            return false;
        }
    }
    // The side panel closes with its own button.
    QWidget *frame = side;
    while (frame && !frame->findChild<QAbstractButton *>("ptr_dock_close_btn_"))
        frame = frame->parentWidget();
    auto *close = frame ? frame->findChild<QAbstractButton *>("ptr_dock_close_btn_") : nullptr;
    if (!close) {
        why = "the export side panel has no close button";
        return false;
    }
    Click(close);
    if (!WaitFor([side]() { return !side->isVisible(); }, 5000)) {
        why = "the export side panel did not close";
        return false;
    }
    return true;
}

bool CDemoTour::RunTimeLapse(QString &why)
{
    auto &d = *data_;
    if (!ClickMenu(d.ptr_window_->menuBar(), "Tools", QString(), "Time-lapse tasks…", why))
        return false;
    CTimeLapseTasksWidget *tasks = d.ptr_window_->TimeLapseTasks();
    if (!WaitFor([tasks]() { return tasks->isVisible(); }, 5000)) {
        why = "the time-lapse window did not open";
        return false;
    }
    auto *folder = tasks->findChild<QLineEdit *>("ptr_timelapse_folder_edit_");
    auto *start = tasks->findChild<QAbstractButton *>("ptr_timelapse_start_btn_");
    if (!folder || !start || !start->isEnabled()) {
        why = "the time-lapse window cannot start a task (no camera with a capture plan?)";
        return false;
    }
    QDir().mkpath(d.timelapse_dir);
    TypeInto(folder, QDir::toNativeSeparators(d.timelapse_dir));
    bool finished = false, success = false;
    QString text;
    auto connection = connect(tasks, &CTimeLapseTasksWidget::SignalTaskFinished, this,
                              [&](const QString &, bool ok, const QString &outcome) {
                                  finished = true;
                                  success = ok;
                                  text = outcome;
                              });
    Click(start);
    const bool done = WaitFor([&]() { return finished; }, 180000);
    disconnect(connection);
    if (!done) {
        why = "the time-lapse task did not finish";
        return false;
    }
    if (!success) {
        why = "the time-lapse task failed: " + text;
        return false;
    }
    const QStringList videos = QDir(d.timelapse_dir).entryList({"*.mp4"}, QDir::Files);
    if (videos.isEmpty() || QFileInfo(QDir(d.timelapse_dir).filePath(videos.front())).size() == 0) {
        why = "no video in " + d.timelapse_dir;
        return false;
    }
    Shot("time-lapse-done");
    tasks->close();
    return true;
}

bool CDemoTour::SwitchUser(QString &why)
{
    auto &d = *data_;
    if (!ClickMenu(d.ptr_window_->menuBar(), "User", "Switch user", CDemoMainWindow::kOperator,
                   why))
        return false;
    if (d.ptr_window_->CurrentUser() != CDemoMainWindow::kOperator) {
        why = "the user did not change";
        return false;
    }
    const auto cameras = d.ptr_window_->Server()->Catalogue().Cameras();
    if (cameras.empty() ||
        OrlPluginManager::CCameraDirectory::Instance().IsPermitted(
            cameras.front().site_id, cameras.front().id, ResourceData::PermissionDeleteLock)) {
        why = "the operator may still unlock recordings";
        return false;
    }
    Shot("operator");
    if (!ClickMenu(d.ptr_window_->menuBar(), "User", "Switch user", CDemoMainWindow::kAdministrator,
                   why))
        return false;
    if (d.ptr_window_->CurrentUser() != CDemoMainWindow::kAdministrator) {
        why = "could not switch back to the administrator";
        return false;
    }
    return true;
}

bool CDemoTour::AuxiliaryScreen(QString &why)
{
    auto &d = *data_;
    QWidget *panel = d.ptr_window_->Panel();
    QWidget *tool_row = panel->findChild<QWidget *>("ptr_top_tool_widget_");
    auto *aux = tool_row ? tool_row->findChild<QAbstractButton *>("ptr_aux_btn_") : nullptr;
    if (!aux || !aux->isVisible()) {
        // The button belongs to the result area, which shows once a search ran.
        why = "the panel shows no auxiliary-screen button";
        return false;
    }
    Click(aux);
    if (!WaitFor(
            [&]() {
                return d.ptr_window_->AuxiliaryWindow() &&
                       d.ptr_window_->AuxiliaryWindow()->isVisible() &&
                       panel->window() == d.ptr_window_->AuxiliaryWindow();
            },
            5000)) {
        why = "the panel did not move to the auxiliary-screen window";
        return false;
    }
    if (aux->isVisible()) {
        why = "the auxiliary-screen button still shows on the auxiliary screen";
        return false;
    }
    Shot("auxiliary-window");
    d.ptr_window_->AuxiliaryWindow()->close();
    if (!WaitFor([&]() { return panel->window() == d.ptr_window_ && aux->isVisible(); }, 5000)) {
        why = "closing the auxiliary screen did not bring the panel back";
        return false;
    }
    return true;
}

int CDemoTour::RunSearchBenchmark(int cameras)
{
    QString why;
    QElapsedTimer clock;
    if (!WaitFor([&]() { return Find("ptr_all_video_page", why) != nullptr; }) ||
        !PickCameras(cameras, why) || !PickWeek(why) || !PickAllKinds(why)) {
        std::fprintf(stderr, "bench: %s\n", qPrintable(why));
        return 1;
    }
    auto *button = Find("ptr_search_btn_", why);
    if (!button)
        return 1;
    clock.start();
    Click(button);
    QTabBar *tabs = nullptr;
    // A count may still change after its page stopped waiting (a shared search re-counts), so
    // the counts are final once nothing has changed for a while; the figure is the first turn
    // of the event loop that showed them, polled without a pause.
    constexpr qint64 kQuietMs = 1000;
    QStringList shown;
    qint64 ms = 0;
    bool settled = false;
    while (!settled && clock.elapsed() < kWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        tabs = ResultTabBar(data_->ptr_window_->Panel());
        QStringList now;
        for (int i = 0; tabs && i < tabs->count(); ++i)
            now << tabs->tabText(i);
        if (now != shown) {
            shown = now;
            ms = clock.elapsed();
        }
        settled = AllCountsFinal(tabs) && !AnyPageSearching(data_->ptr_window_->Panel()) &&
                  clock.elapsed() - ms >= kQuietMs;
    }
    if (!settled) {
        std::fprintf(stderr, "bench: the counts were not final after %lld ms\n",
                     static_cast<long long>(clock.elapsed()));
        return 1;
    }
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    std::printf("search of %d cameras over 7 days: %lld ms to the final counts (%s)\n", cameras,
                static_cast<long long>(ms), qPrintable(texts.join(", ")));
    return 0;
}

} // namespace TeskVideoSearch
