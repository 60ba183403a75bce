#include "platform/launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace torvex {

namespace {

// The name as given, and on systems without ".exe" programs the bare name.
QStringList candidateNames(const QString& name) {
    QStringList names{name};
    const QString exe = QStringLiteral(".exe");
    if (name.endsWith(exe, Qt::CaseInsensitive) && name.size() > exe.size()) {
        names << name.left(name.size() - exe.size());
    }
    return names;
}

bool isRunnable(const QString& path) {
    QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

}  // namespace

QString locateProgram(const QString& name, const QString& besideDir) {
    const QStringList names = candidateNames(name);
    if (!besideDir.isEmpty()) {
        for (const QString& n : names) {
            QString path = QDir(besideDir).filePath(n);
            if (isRunnable(path)) {
                return path;
            }
        }
    }
    for (const QString& n : names) {
        QString path = QStandardPaths::findExecutable(n);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return QString();
}

bool startProgram(const QString& name, const QStringList& arguments) {
    QString path = locateProgram(name, QCoreApplication::applicationDirPath());
    if (path.isEmpty()) {
        return false;
    }
    // It works in this program's working directory, where the jet field
    // file it reads (ftu.res) was written.
    return QProcess::startDetached(path, arguments, QDir::currentPath());
}

}  // namespace torvex
