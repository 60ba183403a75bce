// Where the help file "Torvex.hlp" lies.
#pragma once

#include <QString>

namespace torvex {

// The copy in the working directory, else the installed one in the data
// folder beside the executable, else (build-tree runs) the one in the source
// tree; if none exists, the full path of the copy beside the executable, so
// the help window names the missing file in full.
QString helpFilePath();
// The same for another help file of the package (kavel's "Kavel.hlp").
QString helpFilePath(const char* fileName);

}  // namespace torvex
