#include "shell/working_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include "solver/files.h"
#include "solver/result_set.h"

namespace torvex {

namespace {

const char* const kRecentKey = "recentFolders";
const char* const kVariantsKey = "recentVariants";

// Absolute, with "." and ".." resolved, so one folder has one spelling.
QString cleanFolderPath(const QString& dir) { return QDir::cleanPath(QFileInfo(dir).absoluteFilePath()); }

// The settings file of the folder list: the only setting besides un.dat.
QString settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/torvex/folders.ini");
}

bool isExistingFolder(const QString& dir) { return QFileInfo(dir).isDir(); }

}  // namespace

bool holdsVariant(const QString& dir) {
    const QDir d(dir);
    return QFileInfo(d.filePath(QStringLiteral("un.dat"))).isFile() ||
           QFileInfo(d.filePath(QStringLiteral("ip.dat"))).isFile();
}

bool holdsFinishedResultSet(const QString& dir) {
    // A variant entered since but not calculated leaves the set the previous
    // variant: it stays available.
    return readResultSet(dir.toStdString(), false).ok;
}

QString defaultWorkingFolder() {
    return cleanFolderPath(QStandardPaths::writableLocation(QStandardPaths::HomeLocation) +
                           QStringLiteral("/TORVEX"));
}

QString startFolder(const QString& currentDir, const QString& defaultFolder, bool startedBack) {
    if (startedBack || holdsVariant(currentDir)) {
        return cleanFolderPath(currentDir);
    }
    return cleanFolderPath(defaultFolder);
}

QString folderProblem(const QString& dir) {
    const QString path = cleanFolderPath(dir);
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("The folder %1 does not exist.").arg(path);
    }
    if (!info.isDir()) {
        return QStringLiteral("%1 is not a folder.").arg(path);
    }
    // Permission bits do not tell everything (read-only mounts, ACLs): try it.
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral(".torvex-probe-XXXXXX")));
    if (!probe.open()) {
        return QStringLiteral(
                   "The folder %1 cannot be written: the files of a variant could not be kept there.")
            .arg(path);
    }
    return QString();
}

QString createFolder(const QString& dir) {
    const QString path = cleanFolderPath(dir);
    if (isExistingFolder(path) || QDir().mkpath(path)) {
        return QString();
    }
    return QStringLiteral("The folder %1 could not be created.").arg(path);
}

QString enterWorkingFolder(const QString& dir) {
    const QString path = cleanFolderPath(dir);
    QString problem = createFolder(path);
    if (problem.isEmpty()) {
        problem = folderProblem(path);
    }
    if (problem.isEmpty() && !QDir::setCurrent(path)) {
        problem = QStringLiteral("The folder %1 could not be entered.").arg(path);
    }
    return problem;
}

QString enterStartFolder(bool startedBack) {
    const QString folder = startFolder(QDir::currentPath(), defaultWorkingFolder(), startedBack);
    if (folder == cleanFolderPath(QDir::currentPath())) {
        return QString();
    }
    const QString problem = enterWorkingFolder(folder);
    if (problem.isEmpty()) {
        rememberFolder(folder);
    }
    return problem;
}

QStringList withFolderFirst(const QStringList& recent, const QString& dir) {
    QStringList list{cleanFolderPath(dir)};
    for (const QString& entry : recent) {
        const QString path = cleanFolderPath(entry);
        if (list.size() < kRecentFolderCount && !list.contains(path)) {
            list << path;
        }
    }
    return list;
}

QStringList recentFolders() {
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    QStringList existing;
    for (const QString& dir : settings.value(QString::fromLatin1(kRecentKey)).toStringList()) {
        if (isExistingFolder(dir)) {
            existing << dir;
        }
    }
    return existing;
}

void rememberFolder(const QString& dir) {
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(kRecentKey), withFolderFirst(recentFolders(), dir));
}

QList<RecentVariant> withVariantFirst(const QList<RecentVariant>& recent, const RecentVariant& variant) {
    QList<RecentVariant> list{{cleanFolderPath(variant.folder), variant.description}};
    for (const RecentVariant& entry : recent) {
        if (list.size() < kRecentVariantCount && cleanFolderPath(entry.folder) != list.front().folder) list << entry;
    }
    return list;
}

QList<RecentVariant> recentVariants() {
    QSettings settings(settingsFile(), QSettings::IniFormat);
    QList<RecentVariant> shown;
    const int n = settings.beginReadArray(QString::fromLatin1(kVariantsKey));
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        const RecentVariant v{settings.value(QStringLiteral("folder")).toString(),
                              settings.value(QStringLiteral("description")).toString()};
        if (!v.folder.isEmpty() && holdsFinishedResultSet(v.folder)) shown << v;
    }
    settings.endArray();
    return shown;
}

void rememberVariant(const RecentVariant& variant) {
    const QList<RecentVariant> list = withVariantFirst(recentVariants(), variant);
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.beginWriteArray(QString::fromLatin1(kVariantsKey), static_cast<int>(list.size()));
    for (int i = 0; i < list.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("folder"), list[i].folder);
        settings.setValue(QStringLiteral("description"), list[i].description);
    }
    settings.endArray();
}

QString askForFolder(QWidget* parent, const QString& current, const QStringList& recent) {
    QFileDialog dialog(parent, QStringLiteral("Working Folder"), current);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The recent folders in the dialog's history list and in its side panel.
    dialog.setHistory(recent);
    QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath()), QUrl::fromLocalFile(defaultWorkingFolder())};
    for (const QString& dir : recent) {
        const QUrl url = QUrl::fromLocalFile(dir);
        if (!places.contains(url)) {
            places << url;
        }
    }
    dialog.setSidebarUrls(places);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return cleanFolderPath(dialog.selectedFiles().front());
}

QString workingFolderCaption(const QString& dir) {
    return QStringLiteral("Working folder: %1").arg(QDir::toNativeSeparators(cleanFolderPath(dir)));
}

}  // namespace torvex
