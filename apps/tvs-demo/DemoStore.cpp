#include "DemoStore.h"
#include "DemoStore_p.h"

#include "ToolSupport.h"

#include "mirelog/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace TeskVideoSearch {

namespace {

// How often the progress window's clock turns.
constexpr int kClockTickMs = 200;
// How long a creator told to stop may take to clean up.
constexpr int kStopTimeoutMs = 10000;

// The creator's own one-line reason, without its program-name prefix.
QString CreatorReason(const QString &output, const QString &dir)
{
    QStringList lines = output.split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return QCoreApplication::translate("CDemoStoreOpener",
                                           "the creation of the store %1 failed without a reason; "
                                           "see the log file")
            .arg(dir);
    QString reason = lines.last().trimmed();
    const int colon = reason.indexOf(QLatin1String(": "));
    if (colon > 0 && !reason.left(colon).contains(' '))
        reason = reason.mid(colon + 2);
    return reason;
}

} // namespace

CDemoStoreOpener::CDemoStoreOpener(QObject *parent)
    : QObject(parent)
    , data_(std::make_shared<UDemoStoreOpenerData>())
{
    data_->program = QDir(QCoreApplication::applicationDirPath()).filePath(kCreatorName);
}

CDemoStoreOpener::~CDemoStoreOpener()
{
    Cancel();
}

void CDemoStoreOpener::SetCreator(const QString &program, const QStringList &leading_args)
{
    data_->program = program;
    data_->qvc_leading_args_ = leading_args;
}

QString CDemoStoreOpener::StoreDir() const
{
    return data_->dir;
}

std::shared_ptr<teskrecordserver::CRecordingServer> CDemoStoreOpener::Server() const
{
    return data_->ptr_server_;
}

bool CDemoStoreOpener::IsCreating() const
{
    return data_->ptr_creator_ != nullptr;
}

double CDemoStoreOpener::CreationSeconds() const
{
    return data_->creation_clock.isValid() ? data_->creation_clock.elapsed() / 1000.0 : 0.0;
}

void CDemoStoreOpener::Open(const QString &dir, bool large)
{
    auto &d = *data_;
    if (d.ptr_creator_)
        return;
    d.dir = dir.isEmpty()
                ? QString::fromStdString(teskrecordserver::CRecordingServer::DefaultStoreDir())
                : dir;
    d.is_large_ = large;
    d.is_cancelled_ = false;
    d.ptr_server_.reset();
    const QFileInfo catalogue(
        QDir(d.dir).filePath(teskrecordserver::CRecordingServer::kCatalogueFile));
    if (catalogue.exists() || QFileInfo(d.dir).isFile()) {
        OpenExisting();
        return;
    }
    TESK_LOG_INFO("Creating the recording store %s", qPrintable(d.dir));
    auto *process = new QProcess(this);
    d.ptr_creator_ = process;
    d.creator_output.clear();
    process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(process, &QProcess::readyReadStandardError, this, [this, process]() {
        data_->creator_output += QString::fromLocal8Bit(process->readAllStandardError());
    });
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int code, QProcess::ExitStatus status) {
                OnCreatorFinished(status == QProcess::NormalExit ? code : kExitFailed);
            });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        data_->creator_output = tr("cannot start %1 to create the store: %2")
                                    .arg(data_->program, process->errorString());
        OnCreatorFinished(kExitFailed);
    });
    QStringList args = d.qvc_leading_args_;
    args << QStringLiteral("--quiet");
    if (large)
        args << QStringLiteral("--large");
    args << d.dir;
    d.creation_clock.start();
    emit SignalCreating(d.dir);
    process->start(d.program, args);
}

void CDemoStoreOpener::Cancel()
{
    auto &d = *data_;
    QPointer<QProcess> creator = d.ptr_creator_;
    if (!creator)
        return;
    d.is_cancelled_ = true;
    // The store tool removes its private folder itself when it is told to stop.
    creator->terminate();
    if (!creator->waitForFinished(kStopTimeoutMs) && creator) {
        TESK_LOG_ERROR("The store creator did not stop; killing it");
        creator->kill();
        creator->waitForFinished(kStopTimeoutMs);
    }
}

void CDemoStoreOpener::OnCreatorFinished(int exit_code)
{
    auto &d = *data_;
    if (!d.ptr_creator_)
        return;
    d.creator_output += QString::fromLocal8Bit(d.ptr_creator_->readAllStandardError());
    d.ptr_creator_->disconnect(this);
    d.ptr_creator_->deleteLater();
    d.ptr_creator_ = nullptr;
    TESK_LOG_INFO("Store creator ended with %d after %.1f s", exit_code, CreationSeconds());
    if (d.is_cancelled_) {
        emit SignalFailed(
            tr("The creation of the store %1 was cancelled; nothing of it was kept.").arg(d.dir));
        return;
    }
    if (exit_code != kExitOk) {
        const QString reason = CreatorReason(d.creator_output, d.dir);
        TESK_LOG_ERROR("Store creation failed: %s", qPrintable(reason));
        emit SignalFailed(reason);
        return;
    }
    OpenExisting();
}

void CDemoStoreOpener::OpenExisting()
{
    auto &d = *data_;
    auto server = std::make_shared<teskrecordserver::CRecordingServer>();
    const auto options = d.is_large_ ? teskrecordserver::GeneratorOptions::Large()
                                     : teskrecordserver::GeneratorOptions::Default();
    const auto status = server->Open(d.dir.toStdString(), options, false);
    if (!status) {
        const QString message = QString::fromStdString(status.Message());
        TESK_LOG_ERROR("Store refused: %s", qPrintable(message));
        emit SignalFailed(message);
        return;
    }
    d.ptr_server_ = server;
    emit SignalOpened();
}

CStoreProgressDialog::CStoreProgressDialog(CDemoStoreOpener *opener, QWidget *parent)
    : QDialog(parent)
    , data_(std::make_shared<UStoreProgressDialogData>())
{
    auto &d = *data_;
    d.ptr_opener_ = opener;
    setObjectName("ptr_store_progress_dialog_");
    setWindowTitle(tr("Preparing the recording store"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    d.ptr_text_ = new QLabel(tr("Creating the sample recording store (a week of recordings) in\n%1")
                                 .arg(QDir::toNativeSeparators(opener->StoreDir())),
                             this);
    d.ptr_text_->setWordWrap(true);
    d.ptr_progress_ = new QProgressBar(this);
    d.ptr_progress_->setObjectName("ptr_store_progress_");
    // The creator reports no steps: an honest busy bar rather than invented percentages.
    d.ptr_progress_->setRange(0, 0);
    d.ptr_progress_->setMinimumWidth(420);
    d.ptr_elapsed_ = new QLabel(this);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("ptr_store_cancel_btn_");
    layout->addWidget(d.ptr_text_);
    layout->addWidget(d.ptr_progress_);
    layout->addWidget(d.ptr_elapsed_);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, opener, &CDemoStoreOpener::Cancel);
    connect(opener, &CDemoStoreOpener::SignalOpened, this, &QDialog::accept);
    connect(opener, &CDemoStoreOpener::SignalFailed, this, &QDialog::reject);
    d.ptr_clock_ = new QTimer(this);
    connect(d.ptr_clock_, &QTimer::timeout, this, [this]() {
        data_->ptr_elapsed_->setText(
            tr("%1 s; this happens once.").arg(data_->ptr_opener_->CreationSeconds(), 0, 'f', 1));
    });
    d.ptr_clock_->start(kClockTickMs);
}

} // namespace TeskVideoSearch
