#include "platform/launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace torvex {

namespace {

// The name as given and, on systems without ".exe" programs, the bare name
// and its lower-case form (the package's programs are installed in lower case).
QStringList candidateNames(const QString& name) {
    QStringList names{name};
    const QString exe = QStringLiteral(".exe");
    if (name.endsWith(exe, Qt::CaseInsensitive) && name.size() > exe.size()) {
        const QString bare = name.left(name.size() - exe.size());
        names << bare;
        if (bare.toLower() != bare) {
            names << bare.toLower();
        }
    }
    return names;
}

bool isRunnable(const QString& path) {
    QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

QString installedProgramsFolder() { return QStringLiteral(TORVEX_INSTALLED_BIN_DIR); }

// The first runnable candidate in the folder, or "".
QString findIn(const QString& folder, const QStringList& names) {
    if (folder.isEmpty()) {
        return QString();
    }
    for (const QString& n : names) {
        const QString path = QDir(folder).filePath(n);
        if (isRunnable(path)) {
            return QDir::cleanPath(path);
        }
    }
    return QString();
}

}  // namespace

QString locateProgram(const QString& name, const QString& besideDir) {
    if (name.contains(QLatin1Char('/'))) {
        return isRunnable(name) ? QFileInfo(name).absoluteFilePath() : QString();
    }
    const QStringList names = candidateNames(name);
    for (const QString& folder : {besideDir, installedProgramsFolder()}) {
        const QString path = findIn(folder, names);
        if (!path.isEmpty()) {
            return path;
        }
    }
    for (const QString& n : names) {
        const QString path = QStandardPaths::findExecutable(n);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return QString();
}

bool startProgram(const QString& name, const QStringList& arguments, QString* problem, qint64* processId) {
    const QString beside = QCoreApplication::applicationDirPath();
    const QString path = locateProgram(name, beside);
    if (path.isEmpty()) {
        if (problem) {
            *problem =
                QStringLiteral(
                    "The program %1 was found neither beside this program (in %2), nor in %3, "
                    "nor on the search path (PATH).")
                    .arg(candidateNames(name).join(QStringLiteral(" / ")), beside, installedProgramsFolder());
        }
        return false;
    }
    // It works in this program's working directory, where the jet field
    // file it reads (ftu.res) was written.
    if (!QProcess::startDetached(path, arguments, QDir::currentPath(), processId)) {
        if (problem) {
            *problem = QStringLiteral("The program %1 could not be started.").arg(path);
        }
        return false;
    }
    return true;
}

bool programRunning(qint64 processId) {
    if (processId <= 0) return false;
    // Signal 0 only asks whether the process exists; EPERM means it does,
    // under another user.
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

}  // namespace torvex
