// Where the help file "Torvex.hlp" lies.
#pragma once

#include <QString>

namespace torvex {

// The installed copy (beside the executable's data folder, then the install
// prefix's), else the one in the source tree; the bare name if none exists,
// so the help window can say which file is missing.
QString helpFilePath();

}  // namespace torvex
