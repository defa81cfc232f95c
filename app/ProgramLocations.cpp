// SPDX-License-Identifier: Apache-2.0
#include "ProgramLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace vellmark {
namespace {

// The help file's name, beside the executable or in the installed data folder.
constexpr char kHelpFileName[] = "vlmk90.html";

} // namespace

QString ExecutableDir() {
    return QCoreApplication::applicationDirPath();
}

QString FindHelpFile(const QString& executableDir) {
    const QDir dir(executableDir);
    for (const QString& candidate :
         {dir.filePath(QLatin1String(kHelpFileName)),
          dir.filePath(QStringLiteral("../share/vellmark/") + QLatin1String(kHelpFileName))}) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}

bool IsInstalledLocation(const QString& executableDir) {
    if (executableDir.isEmpty())
        return false;
    const QDir dir(executableDir);
    return dir.dirName() == QLatin1String("bin") &&
           QFileInfo(dir.filePath(QStringLiteral("../share/vellmark"))).isDir();
}

QString SettingsDirectory(const QString& executableDir) {
    // An installed program's folder (/usr/bin and the like) holds programs, not settings files,
    // even for a user who may write there, root above all.
    if (!executableDir.isEmpty() && !IsInstalledLocation(executableDir) &&
        ::access(QFile::encodeName(executableDir).constData(), W_OK) == 0)
        return executableDir;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        documents = QDir::homePath();
    return documents;
}

} // namespace vellmark
