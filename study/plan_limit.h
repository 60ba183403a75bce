// How large a study is before it runs, in words (its variants and the disk
// their folders take), and the limit that refuses a study too large to be
// meant: the same sentence from torvex-run study and from Python.
#pragma once

#include <string>

#include "study/study_plan.h"

namespace torvex {

// A study planning more combinations of values is refused unless the limit
// is raised.
constexpr long long kDefaultMaxVariants = 100000;

// What one variant's folder holds on disk: the field file ftu.res (136
// records of 33 lines, about 360 KB), the five radial files, the axial and
// isotherm files and the small ones, rounded up.
constexpr double kBytesPerVariant = 420e3;

// "2 934 123", "36": counts readable at a glance; "4.7e+19" beyond a trillion.
std::string groupedCount(double value);

// "420 KB", "4.2 MB", "42 GB".
std::string diskSize(double bytes);

// Empty when the definition plans at most `limit` combinations of values;
// else the refusal, naming the study file (as `studyName` gives it), the
// count, the disk it would take and `raisedBy`, the option that raises the
// limit ("--max-variants").
std::string planLimitFault(const StudyDefinition& definition, long long limit, const std::string& studyName,
                           const std::string& raisedBy);

}  // namespace torvex
