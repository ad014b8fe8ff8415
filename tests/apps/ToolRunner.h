#pragma once

#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace ToolTest {

// Generous: the machine may be busy with other builds.
constexpr int kToolTimeoutMs = 300000;

// Exit codes every tool documents.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

struct Result
{
    int exit_code = -1;
    QString out;
    QString err;
};

inline QString ToolPath(const QString &tool)
{
    return QStringLiteral(TVS_TOOLS_DIR) + "/" + tool;
}

// The tools keep their default store, settings and logs in the test's scratch folder.
inline QProcessEnvironment ToolEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TESK_DATA_DIR", TestSupport::ScratchDir() + "/data");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    if (!environment.contains("XDG_RUNTIME_DIR")) {
        QDir().mkpath(TestSupport::ScratchDir() + "/runtime");
        QFile::setPermissions(TestSupport::ScratchDir() + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("XDG_RUNTIME_DIR", TestSupport::ScratchDir() + "/runtime");
    }
    return environment;
}

inline std::unique_ptr<QProcess> StartTool(const QString &tool, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(ToolEnvironment());
    process->start(ToolPath(tool), arguments);
    return process;
}

inline Result RunTool(const QString &tool, const QStringList &arguments)
{
    auto process = StartTool(tool, arguments);
    Result result;
    if (!process->waitForFinished(kToolTimeoutMs)) {
        process->kill();
        process->waitForFinished();
        result.err = "the tool did not finish";
        return result;
    }
    result.exit_code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    result.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process->readAllStandardError());
    return result;
}

// Every file and folder under `dir` (hidden ones too) with a digest of each file's bytes.
inline QMap<QString, QByteArray> Listing(const QString &dir)
{
    QMap<QString, QByteArray> listing;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(dir).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            listing.insert(name + "/", "folder");
            continue;
        }
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        listing.insert(name, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return listing;
}

inline void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

inline void WritePicture(const QString &path, int shade, QSize size = {64, 48})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(shade, 255 - shade, (shade * 7) & 0xff));
    QDir().mkpath(QFileInfo(path).absolutePath());
    image.save(path, "JPEG", 90);
}

} // namespace ToolTest
