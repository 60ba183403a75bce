#include "study/plan_limit.h"

#include <cstdio>

namespace torvex {

std::string groupedCount(double value) {
    if (value >= 1e12) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2g", value);
        return text;
    }
    std::string digits = std::to_string(static_cast<long long>(value));
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), " ");
    return digits;
}

std::string diskSize(double bytes) {
    const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    double value = bytes / 1e3;
    int unit = 0;
    while (value >= 1000 && unit < 4) value /= 1000, ++unit;
    char text[32];
    if (value >= 1000) {
        std::snprintf(text, sizeof text, "%.2g PB", value);
        return text;
    }
    std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return text;
}

std::string planLimitFault(const StudyDefinition& definition, long long limit, const std::string& studyName,
                           const std::string& raisedBy) {
    const CombinationCount planned = combinationCount(definition);
    if (planned.exact && planned.count <= static_cast<double>(limit)) return {};
    return "The study file " + studyName + " asks for " + (planned.exact ? "" : "more than ") +
           groupedCount(planned.count) + " combinations of values, about " +
           diskSize(planned.count * kBytesPerVariant) + " of variant folders; the limit is " +
           groupedCount(static_cast<double>(limit)) + " (" + raisedBy +
           " raises it; combinations that coincide in the model's ranges run once).";
}

}  // namespace torvex
