#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace TeskVideoSearch {

class CDemoMainWindow;
struct TourStep;
struct UDemoTourData;

// Drives the demo host as a person would: real mouse, key and wheel events on the panel's own
// child widgets, found by object name. Every step checks what it did (against the widgets and
// the store), saves a screenshot "NN-step.png" in the tour's folder and names itself when it
// fails; a step whose widgets are missing fails saying so.
class CDemoTour : public QObject
{
    Q_OBJECT
public:
    // Longest wait for one thing a step waits for.
    static constexpr int kWaitMs = 60000;

    CDemoTour(CDemoMainWindow *window, const QString &shot_dir, QObject *parent = nullptr);
    ~CDemoTour() override;

    // Runs every step; the number that failed.
    int Run();
    int FailedCount() const;
    QStringList Failures() const;
    // The whole-week search of `cameras` cameras for every kind, timed from the button to the
    // final count of every tab; an exit code.
    int RunSearchBenchmark(int cameras);

    static double ResidentMegabytes();

private slots:
    void OnWatchModal();

private:
    QList<TourStep> Steps();
    bool Shot(const QString &name);
    QWidget *Find(const QString &object_name, QString &why) const;
    bool WaitFor(const std::function<bool()> &condition, int timeout_ms = kWaitMs);

    // Steps.
    bool PickCameras(int count, QString &why);
    bool PickWeek(QString &why);
    bool PickAllKinds(QString &why);
    bool Search(QString &why);
    bool SwitchPages(QString &why);
    bool SwitchPresentations(QString &why);
    bool ZoomTimeBar(QString &why);
    bool OpenOperationPopup(QString &why);
    bool PlayResult(QString &why);
    bool StepToNext(QString &why);
    bool EditTag(QString &why);
    bool Unlock(QString &why);
    bool ExportTwo(QString &why);
    bool RunTimeLapse(QString &why);
    bool SwitchUser(QString &why);
    bool AuxiliaryScreen(QString &why);

    std::shared_ptr<UDemoTourData> data_;
};

} // namespace TeskVideoSearch
