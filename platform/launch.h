// Starting another program of the package.
#pragma once

#include <QString>
#include <QStringList>

namespace torvex {

// Where to find a program: a path is taken as it is; a bare name is looked
// for beside this executable first, then in the installed programs folder,
// then on PATH. A Windows name such as "Kavel.exe" is also tried without its
// ending and in lower case ("kavel"). Empty if not found.
QString locateProgram(const QString& name, const QString& besideDir);

// Starts the program detached in the current directory with the arguments,
// its window shown normally. Returns whether it started; on failure `problem`
// (if given) says why, naming the program and where it was looked for.
// `processId` (if given) receives the started program's process id.
bool startProgram(const QString& name, const QStringList& arguments, QString* problem = nullptr,
                  qint64* processId = nullptr);

// Whether the process with this id still runs (an id of 0 or below never does).
bool programRunning(qint64 processId);

}  // namespace torvex
