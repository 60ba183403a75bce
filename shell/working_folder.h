// The working folder: the directory that holds the files of a variant (un.dat,
// ip.dat, iop.par and the result files, all addressed by bare names). Started
// from a desktop menu the program would otherwise work in the home folder,
// among the user's own files; it works in a folder of its own instead.
#pragma once

#include <QString>
#include <QList>
#include <QStringList>

class QWidget;

namespace torvex {

// How many folders the folder dialog offers again.
constexpr int kRecentFolderCount = 6;

// True when the directory already holds a variant (un.dat or ip.dat).
bool holdsVariant(const QString& dir);

// True when the directory holds a finished result set of a calculated
// variant, one that can be shown again: iop.par readable and the field and
// axis results (ftu.res, ztu0.res, the file a run puts in place last) present
// and readable.
bool holdsFinishedResultSet(const QString& dir);

// The program's own folder in the user's home: ~/TORVEX.
QString defaultWorkingFolder();

// The folder to work in at start: the current directory when it holds a
// variant or when the sibling module started this program back (it starts it
// in the variant's folder); otherwise the default folder.
QString startFolder(const QString& currentDir, const QString& defaultFolder, bool startedBack);

// Why the folder cannot be worked in ("" when it can): it must be an existing
// directory in which a file can be created. The probe file is removed again.
QString folderProblem(const QString& dir);

// Makes the folder and its parents; "" on success, else the reason.
QString createFolder(const QString& dir);

// Makes the folder if needed and makes it the current directory, so that every
// file and every program started from here works in it. "" on success, else
// the reason; the current directory is then unchanged.
QString enterWorkingFolder(const QString& dir);

// At start: enters the start folder (see startFolder), creating the default
// folder on first start. "" on success, else the reason (the program then
// stays in the current directory).
QString enterStartFolder(bool startedBack);

// The list of recent folders with `dir` put first, duplicates removed and
// at most kRecentFolderCount entries.
QStringList withFolderFirst(const QStringList& recent, const QString& dir);

// The recent folders saved in the user's settings, existing ones only.
QStringList recentFolders();
// Puts the folder first in the saved list of recent folders.
void rememberFolder(const QString& dir);

// A calculated variant offered again: its folder and its one-line description.
struct RecentVariant {
    QString folder;
    QString description;
};

// How many variants "Recent Variants" offers.
constexpr int kRecentVariantCount = 8;

// The list with the variant put first (one entry per folder: a folder holds
// one variant), at most kRecentVariantCount entries.
QList<RecentVariant> withVariantFirst(const QList<RecentVariant>& recent, const RecentVariant& variant);
// The saved recent variants whose folders still hold a finished result set.
QList<RecentVariant> recentVariants();
// Puts the variant first in the saved list.
void rememberVariant(const RecentVariant& variant);

// The desktop's folder dialog, opened at `current`, offering the recent
// folders again. The chosen path, or "" when cancelled.
QString askForFolder(QWidget* parent, const QString& current, const QStringList& recent);

// The text the main window shows for its folder.
QString workingFolderCaption(const QString& dir);

}  // namespace torvex
