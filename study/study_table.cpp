#include "study/study_table.h"

#include "solver/file_access.h"
#include "solver/result_set.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>

#include "solver/result_files.h"
#include "study/text_files.h"

namespace torvex {

namespace {

constexpr std::size_t kMaxAxisRecords = 4000;
// A shard of the largest study (some 30 000 variants) is a few megabytes.
constexpr std::size_t kMaxTableBytes = std::size_t(256) << 20;

std::string fixed(double value, int decimals) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, r.ptr);
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\n') c = ' ';
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

const char* gasName(int code) {
    static const char* const names[] = {"",
                                        "Ar",
                                        "N2",
                                        "",
                                        "",
                                        "Ar + 5 % H2",
                                        "Ar + 10 % H2",
                                        "Ar + 15 % H2",
                                        "Ar + 20 % H2",
                                        "Ar + 25 % H2",
                                        "Ar + 10 % He",
                                        "Ar + 20 % He",
                                        "Ar + 30 % He",
                                        "Ar + 40 % He",
                                        "Ar + 50 % He"};
    return code >= 0 && code <= 14 ? names[code] : "";
}

const char* lengthWord(const UnitCodes& u) { return u.length == 2 ? "in" : "mm"; }
const char* flowWord(const UnitCodes& u) { return u.flow == 2 ? "SCFH" : "SLPM"; }
const char* temperatureWord(const UnitCodes& u) {
    return u.temperature == 2 ? "F" : u.temperature == 3 ? "C" : "K";
}

// Kelvin into the study's temperature unit (offset 273, as everywhere in
// the program).
double inTemperatureUnit(double kelvin, const UnitCodes& u) {
    if (u.temperature == 2) return (kelvin - 273.0) * 1.8 + 32.0;
    if (u.temperature == 3) return kelvin - 273.0;
    return kelvin;
}

struct AxisValue {
    bool known = false;
    double temperatureKelvin = 0;
    double velocity = 0;
};

// The axis record at a distance, interpolated linearly between the records
// either side; unknown beyond the last record.
AxisValue axisValueAt(const std::vector<AxisRecord>& records, double distanceMm) {
    for (std::size_t k = 0; k < records.size(); ++k) {
        const AxisRecord& b = records[k];
        if (std::fabs(b.distanceMm - distanceMm) < 1e-6)
            return {true, b.temperatureKiloKelvin * 1000.0, b.velocity};
        if (k > 0 && b.distanceMm > distanceMm) {
            const AxisRecord& a = records[k - 1];
            const double t = (distanceMm - a.distanceMm) / (b.distanceMm - a.distanceMm);
            return {
                true,
                1000.0 * (a.temperatureKiloKelvin + t * (b.temperatureKiloKelvin - a.temperatureKiloKelvin)),
                a.velocity + t * (b.velocity - a.velocity)};
        }
    }
    return {};
}

// Distance from the nozzle exit at which the axis temperature first falls
// below a level (linear between records): the length of that isotherm along
// the axis. 0 when the exit is already colder; the end of the jet when the
// axis stays hotter all the way.
double coreLength(const std::vector<AxisRecord>& records, double levelKelvin) {
    for (std::size_t k = 0; k < records.size(); ++k) {
        const double t = records[k].temperatureKiloKelvin * 1000.0;
        if (t >= levelKelvin) continue;
        if (k == 0) return 0.0;
        const double t0 = records[k - 1].temperatureKiloKelvin * 1000.0;
        const double z0 = records[k - 1].distanceMm, z1 = records[k].distanceMm;
        return z0 + (t0 - levelKelvin) / (t0 - t) * (z1 - z0);
    }
    return records.empty() ? 0.0 : records.back().distanceMm;
}

constexpr RunResult kStatuses[] = {RunResult::Completed, RunResult::NotCalculable, RunResult::OutputFault,
                                   RunResult::Busy, RunResult::BadInput};

const char* statusWord(RunResult r) {
    if (r == RunResult::Completed) return "completed";
    if (r == RunResult::NotCalculable) return "not calculable";
    if (r == RunResult::OutputFault) return "output fault";
    if (r == RunResult::Busy) return "folder in use";
    return "bad input";
}

// Integral figures of iop.par: voltage, power, efficiency (empty where the
// file holds asterisks).
// Read through the set's check, so that a row never mixes this run's
// figures with files of another.
std::vector<std::string> integralColumns(const ResultSet& set) {
    if (!set.ok) return {"", "", ""};
    const IntegralParameters& p = set.variant;
    return {p.voltageOverflow ? "" : fixed(p.arcVoltage, 1), p.powerOverflow ? "" : fixed(p.arcPower, 1),
            p.efficiencyOverflow ? "" : std::to_string(p.efficiencyPercent)};
}

std::vector<std::string> jetColumns(const ResultSet& set, bool completed, const UnitCodes& units) {
    std::vector<std::string> columns;
    const std::vector<AxisRecord> records = completed && set.ok
                                                ? readAxisRecords(set.directory + "/" + kAxisFile, kMaxAxisRecords)
                                                : std::vector<AxisRecord>{};
    for (double z : kProbeDistancesMm) {
        const AxisValue v = axisValueAt(records, z);
        columns.push_back(v.known ? fixed(inTemperatureUnit(v.temperatureKelvin, units), 0) : "");
        columns.push_back(v.known ? fixed(v.velocity, 2) : "");
    }
    for (double level : kCoreLevelsKelvin)
        columns.push_back(records.empty() ? "" : fixed(coreLength(records, level), 1));
    return columns;
}

std::string joined(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) line += (k ? "," : "") + fields[k];
    return line;
}

}  // namespace

std::string studyTableHeader(const UnitCodes& units) {
    const std::string len = lengthWord(units), flow = flowWord(units), temp = temperatureWord(units);
    std::vector<std::string> h = {"index",
                                  "gas_code",
                                  "gas",
                                  "diameter [" + len + "]",
                                  "length [" + len + "]",
                                  "current [A]",
                                  "flow [" + flow + "]",
                                  "diameter_used [mm]",
                                  "length_used [mm]",
                                  "current_used [A]",
                                  "flow_used [" + flow + "]",
                                  "status",
                                  "arc_voltage [V]",
                                  "power [kW]",
                                  "efficiency [%]"};
    for (double z : kProbeDistancesMm) {
        const std::string at = z == 0 ? "exit" : fixed(z, 0) + "mm";
        h.push_back("T_" + at + " [" + temp + "]");
        h.push_back("u_" + at + " [m/s]");
    }
    for (double level : kCoreLevelsKelvin) h.push_back("L_" + fixed(level / 1000.0, 0) + "kK [mm]");
    h.push_back("reason");
    h.push_back("directory");
    return joined(h);
}

std::string variantRow(const StudyVariant& v, const UnitCodes& units, const VariantOutcome& outcome,
                       const std::string& variantDir, const std::string& relativeDir) {
    const VariantInputs& e = v.entered;
    const UsedInputs& u = v.used;
    const bool bad = outcome.result == RunResult::BadInput;
    std::vector<std::string> f = {std::to_string(e.gasCode),
                                  gasName(e.gasCode),
                                  fixed(e.diameter, 2),
                                  fixed(e.length, 2),
                                  fixed(e.current, 0),
                                  fixed(e.flow, 0),
                                  fixed(u.diameterTenths / 10.0, 1),
                                  std::to_string(u.lengthMm),
                                  std::to_string(u.current),
                                  std::to_string(u.flow),
                                  statusWord(outcome.result)};
    const ResultSet set = !bad && outcome.reachedNozzle ? readResultSet(variantDir) : ResultSet{};
    for (const std::string& c : integralColumns(set)) f.push_back(c);
    for (const std::string& c : jetColumns(set, outcome.result == RunResult::Completed, units))
        f.push_back(c);
    f.push_back(csvField(outcome.result == RunResult::Completed ? "" : outcome.message));
    f.push_back(csvField(relativeDir));
    return joined(f);
}

namespace {

std::string shardClosingLine(int shard, int shardCount, std::size_t rows) {
    return "# shard " + std::to_string(shard) + " of " + std::to_string(shardCount) + ": " + std::to_string(rows) +
           " rows";
}

}  // namespace

std::string studyTableText(const std::string& header, std::vector<TableRow> rows, int shard, int shardCount) {
    std::sort(rows.begin(), rows.end(),
              [](const TableRow& a, const TableRow& b) { return a.index < b.index; });
    std::string text = header + "\n";
    for (const TableRow& r : rows) text += std::to_string(r.index) + "," + r.columns + "\n";
    if (shardCount > 1) text += shardClosingLine(shard, shardCount, rows.size()) + "\n";
    return text;
}

RunResult rowStatus(const std::string& columns) {
    const std::vector<std::string> fields = splitCsvLine(columns);
    for (RunResult r : kStatuses)
        if (fields.size() > 10 && fields[10] == statusWord(r)) return r;
    return RunResult::BadInput;
}

std::vector<std::string> splitCsvLine(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
            if (c == '"' && k + 1 < line.size() && line[k + 1] == '"')
                fields.back() += '"', ++k;
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

std::string studyTableName(int shard, int shardCount) {
    if (shardCount <= 1) return "study.csv";
    return "study-" + std::to_string(shard) + "-of-" + std::to_string(shardCount) + ".csv";
}

namespace {

struct ShardFile {
    int shard = 0;
    int count = 0;
    std::string path;
};

// A whole number of one to six digits at `at`, which moves past it.
bool takeNumber(const std::string& text, std::size_t& at, int& value) {
    const std::size_t start = at;
    while (at < text.size() && at - start < 7 && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == start || at - start > 6) return false;
    value = std::stoi(text.substr(start, at - start));
    return true;
}

// "study-I-of-N.csv" with its two numbers.
bool parseShardTableName(const std::string& name, int& shard, int& count) {
    const std::string head = "study-", middle = "-of-", tail = ".csv";
    std::size_t at = head.size();
    if (name.compare(0, head.size(), head) != 0 || !takeNumber(name, at, shard)) return false;
    if (name.compare(at, middle.size(), middle) != 0) return false;
    at += middle.size();
    return takeNumber(name, at, count) && name.compare(at, std::string::npos, tail) == 0;
}

bool findShardFiles(const std::string& dir, std::vector<ShardFile>& shards, std::string& message) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(dir, error);
    if (error) {
        message = "The study folder " + displayPath(dir) + " cannot be read: " + error.message() + ".";
        return false;
    }
    for (const fs::directory_entry& entry : it) {
        ShardFile shard;
        if (!parseShardTableName(entry.path().filename().string(), shard.shard, shard.count)) continue;
        shard.path = entry.path().string();
        shards.push_back(shard);
    }
    if (shards.empty()) {
        message = "The study folder " + displayPath(dir) + " holds no shard tables (study-I-of-N.csv).";
        return false;
    }
    const int count = shards.front().count;
    std::vector<int> seen(static_cast<std::size_t>(count), 0);
    for (const ShardFile& s : shards) {
        if (s.count != count) {
            message = "The study folder " + displayPath(dir) + " holds shards of different splits (of " +
                      std::to_string(count) + " and of " + std::to_string(s.count) + ").";
            return false;
        }
        if (s.shard < count) seen[static_cast<std::size_t>(s.shard)] = 1;
    }
    for (int k = 0; k < count; ++k) {
        if (!seen[static_cast<std::size_t>(k)]) {
            message = "The shard table " + displayPath(dir + "/" + studyTableName(k, count)) +
                      " is missing: that shard has not finished.";
            return false;
        }
    }
    std::sort(shards.begin(), shards.end(),
              [](const ShardFile& a, const ShardFile& b) { return a.shard < b.shard; });
    return true;
}

// The rows of one shard table; checks that each belongs to the shard.
bool readShardRows(const ShardFile& shard, std::string& header, std::vector<TableRow>& rows,
                   std::string& message) {
    std::string text;
    if (!readBoundedTextFile(shard.path, kMaxTableBytes, text, message)) return false;
    const std::string shown = displayPath(shard.path);
    if (text.empty() || text.back() != '\n') {
        message = "The shard table " + shown + " does not end with a whole line.";
        return false;
    }
    std::vector<std::string> lines = splitLines(text);
    // The closing line names the shard and its row count: a table cut short,
    // or one of another shard renamed, is refused.
    const std::string closing = lines.size() < 2 ? std::string() : lines.back();
    if (closing.rfind("# shard ", 0) != 0) {
        message = "The shard table " + shown + " does not end with its line \"# shard " +
                  std::to_string(shard.shard) + " of " + std::to_string(shard.count) +
                  ": ... rows\": it was cut short or not written by a study run.";
        return false;
    }
    lines.pop_back();
    if (closing != shardClosingLine(shard.shard, shard.count, lines.size() - 1)) {
        message = "The shard table " + shown + " holds " + std::to_string(lines.size() - 1) +
                  " rows, but its last line says \"" + closing.substr(0, 80) + "\".";
        return false;
    }
    const std::string& first = lines.front();
    if (header.empty())
        header = first;
    else if (first != header) {
        message = "The shard table " + shown + " has another header than the other shards (other units?).";
        return false;
    }
    for (std::size_t line = 1; line < lines.size(); ++line) {
        const std::string& row = lines[line];
        const std::size_t comma = row.find(',');
        int index = -1;
        const auto r = std::from_chars(row.data(),
                                       row.data() + (comma == std::string::npos ? row.size() : comma), index);
        if (comma == std::string::npos || r.ec != std::errc() || r.ptr != row.data() + comma || index < 0 ||
            index % shard.count != shard.shard) {
            message = "The shard table " + shown + " has a row that does not belong to it (line " +
                      std::to_string(line + 1) + ").";
            return false;
        }
        rows.push_back({index, row.substr(comma + 1)});
    }
    return true;
}

}  // namespace

bool mergeShardTables(const std::string& dir, std::string& message) {
    std::vector<ShardFile> shards;
    if (!findShardFiles(dir, shards, message)) return false;
    std::string header;
    std::vector<TableRow> rows;
    for (const ShardFile& s : shards)
        if (!readShardRows(s, header, rows, message)) return false;
    std::sort(rows.begin(), rows.end(),
              [](const TableRow& a, const TableRow& b) { return a.index < b.index; });
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].index != static_cast<int>(k)) {
            message = "The shard tables in " + displayPath(dir) + " do not make one study: variant " +
                      std::to_string(k) +
                      (rows[k].index < static_cast<int>(k) ? " appears twice." : " is missing.");
            return false;
        }
    }
    const std::string path = dir + "/study.csv";
    if (!writeFileAtomically(path, studyTableText(header, std::move(rows)), message)) return false;
    message = "Merged " + std::to_string(shards.size()) + " shards into " + displayPath(path) + ".";
    return true;
}

}  // namespace torvex
