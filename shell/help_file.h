// Where the help file "Torvex.hlp" lies.
#pragma once

#include <QString>

namespace torvex {

// The installed copy (beside the executable's data folder, then the install
// prefix's), else the one in the source tree; if none exists, the full path
// of the copy beside the executable, so the help window names the missing
// file in full.
QString helpFilePath();

}  // namespace torvex
