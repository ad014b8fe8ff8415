// The camera tree over the large store (640 cameras in 8 sites): a keystroke in its search box,
// from the key press to the repainted tree, must stay well under a frame of typing (10 ms).

#include "arborin/SelectedStorageCameraWidget.h"
#include "recordserver/RecordingServer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

using teskrecordserver::CRecordingServer;
using teskrecordserver::GeneratorOptions;

// The large store's cameras and record plans published to the host once. One day of recordings
// is enough: the tree reads cameras and plans only.
void PublishLargeStore()
{
    static QTemporaryDir dir;
    static std::shared_ptr<CRecordingServer> server = [] {
        auto created = std::make_shared<CRecordingServer>();
        GeneratorOptions options = GeneratorOptions::Large();
        options.days = 1;
        const auto status =
            created->Open(QDir(dir.path()).filePath("large").toStdString(), options);
        if (!status.IsOk())
            qFatal("large store: %s", status.Message().c_str());
        created->PublishToHost();
        return created;
    }();
}

std::unique_ptr<Arborin::CSelectedStorageCameraWidget> MakeTree()
{
    PublishLargeStore();
    auto tree = std::make_unique<Arborin::CSelectedStorageCameraWidget>();
    tree->InitWidget({});
    tree->resize(300, 700);
    tree->show();
    if (!QTest::qWaitForWindowExposed(tree.get()))
        qFatal("the tree was not shown");
    return tree;
}

// What the operator sees after a key: the filter applied, the view laid out and painted.
void Settle(Arborin::CSelectedStorageCameraWidget &tree)
{
    QCoreApplication::sendPostedEvents();
    tree.GetTreeWidget()->viewport()->repaint();
}

void BM_FilterKeystroke(benchmark::State &state)
{
    auto tree = MakeTree();
    if (tree->CameraCount() != 640)
        state.SkipWithError("the large store should hold 640 cameras");
    QLineEdit *edit = tree->GetSearchEdit();
    // Typing a name narrows the tree step by step, then the text is erased key by key.
    const QString typed = "car park north 3";
    int position = 0;
    bool erasing = false;
    for (auto _ : state) {
        if (!erasing) {
            QTest::keyClick(edit, typed.at(position).toLatin1());
            erasing = ++position == typed.size();
        } else {
            QTest::keyClick(edit, Qt::Key_Backspace);
            erasing = --position > 0;
        }
        Settle(*tree);
    }
}
BENCHMARK(BM_FilterKeystroke)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(320)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

void BM_BuildTree(benchmark::State &state)
{
    PublishLargeStore();
    for (auto _ : state) {
        Arborin::CSelectedStorageCameraWidget tree;
        tree.InitWidget({});
        benchmark::DoNotOptimize(tree.CameraCount());
    }
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);

// Ticking a site ticks its 80 cameras; unticking clears them.
void BM_TickSite(benchmark::State &state)
{
    auto tree = MakeTree();
    QTreeWidgetItem *site = tree->GetTreeWidget()->topLevelItem(0);
    bool tick = true;
    for (auto _ : state) {
        site->setCheckState(0, tick ? Qt::Checked : Qt::Unchecked);
        tick = !tick;
        benchmark::DoNotOptimize(tree->GetAllSelectedResource().size());
        Settle(*tree);
    }
}
BENCHMARK(BM_TickSite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
