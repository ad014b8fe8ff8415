#pragma once

#include "recordserver/RecordingServer.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace TeskVideoSearch {

struct UDemoStoreOpenerData;
struct UStoreProgressDialogData;

// Opens the embedded recording store for the demo host. A store that does not exist yet is
// created by the store tool in a child process (built beside its folder and renamed into
// place, a folder of other files refused), so that the window stays live and a cancel stops
// the creation at once without leaving half a store.
class CDemoStoreOpener : public QObject
{
    Q_OBJECT
public:
    // The store tool, beside the host's own program, creates stores.
    static constexpr const char *kCreatorName = "tvs-store";

    explicit CDemoStoreOpener(QObject *parent = nullptr);
    ~CDemoStoreOpener() override;

    // The program run to create a store, with `leading_args` before the store tool's options;
    // by default the store tool beside this program.
    void SetCreator(const QString &program, const QStringList &leading_args = {});
    // Opens the store in `dir` (the default store when empty); SignalOpened or SignalFailed
    // follows, at once or when the creation ends.
    void Open(const QString &dir, bool large = false);
    void Cancel();
    bool IsCreating() const;
    // Seconds since the creation began.
    double CreationSeconds() const;
    QString StoreDir() const;
    std::shared_ptr<teskrecordserver::CRecordingServer> Server() const;

signals:
    void SignalCreating(const QString &dir);
    void SignalOpened();
    void SignalFailed(const QString &message);

private:
    void OnCreatorFinished(int exit_code);
    void OpenExisting();

    std::shared_ptr<UDemoStoreOpenerData> data_;
};

// The window shown while a store is created: what is built where, a busy bar with the time
// taken, and a cancel button.
class CStoreProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CStoreProgressDialog(CDemoStoreOpener *opener, QWidget *parent = nullptr);

private:
    std::shared_ptr<UStoreProgressDialogData> data_;
};

} // namespace TeskVideoSearch
