// Starting another program of the package.
#pragma once

#include <QString>
#include <QStringList>

namespace torvex {

// Where to find a program: beside this executable first, then on PATH. A name
// ending in ".exe" is also tried without that ending. Empty if not found.
QString locateProgram(const QString& name, const QString& besideDir);

// Starts the program detached with the arguments, its window shown normally.
// Returns whether it started; the caller may ignore the result.
bool startProgram(const QString& name, const QStringList& arguments);

}  // namespace torvex
