#include "particles/spray_files.h"

#include "particles/in_flight.h"
#include "particles/spray_option_table.h"
#include "particles/spray_statistics.h"
#include "particles/text_file.h"
#include "solver/number_text.h"
#include "solver/result_set.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <unistd.h>

namespace torvex::particles {

namespace {

namespace fs = std::filesystem;

std::string stateColumns(const ParticleState& s) {
    return formatFixed(s.axialMm, 3) + "," + formatFixed(s.radialMm, 3) + "," + formatFixed(s.velocity, 2) + "," +
           formatFixed(s.axialVelocity, 2) + "," + formatFixed(s.radialVelocity, 2) + "," +
           formatFixed(s.surfaceTemperature, 1) + "," + formatFixed(s.meanTemperature, 1) + "," +
           formatFixed(s.coreTemperature, 1) + "," + formatFixed(s.moltenFraction, 4) + "," +
           formatFixed(s.massFraction, 4) + "," + formatFixed(s.timeMs, 4);
}

// Columns added after the first ones, so that readers of those keep working.
std::string outOfPlaneColumns(const ParticleState& s) {
    return formatFixed(s.outOfPlaneMm, 3) + "," + formatFixed(s.outOfPlaneVelocity, 2);
}

std::string percent(const Estimate& share) { return withInterval(share, 1, 100) + " %"; }

std::string headerOf(const SprayOptions& options, const SprayOutcome& outcome) {
    std::string text;
    for (const std::string& line : runDescription(options, outcome)) text += "# " + line + "\n";
    return text;
}

constexpr const char* kStateHeader =
    "axial_mm,radial_mm,velocity_m_s,axial_velocity_m_s,radial_velocity_m_s,surface_temperature_K,"
    "mean_temperature_K,core_temperature_K,molten_fraction,mass_fraction,time_ms";

} // namespace

std::string particlesCsv(const std::vector<ParticleResult>& particles) {
    std::string text = std::string("index,diameter_um,status,") + kStateHeader +
                       ",max_surface_temperature_K,out_of_plane_mm,out_of_plane_velocity_m_s,injection_velocity_m_s\n";
    for (const ParticleResult& p : particles) {
        text += std::to_string(p.index) + "," + formatFixed(p.diameterUm, 2) + "," + statusName(p.status) + "," +
                stateColumns(p.final) + "," + formatFixed(p.maxSurfaceTemperature, 1) + "," +
                outOfPlaneColumns(p.final) + "," + formatFixed(p.injectionVelocity, 2) + "\n";
    }
    return text;
}

std::string trajectoriesCsv(const std::vector<Trajectory>& trajectories) {
    std::string text = std::string("particle,index,diameter_um,status,") + kStateHeader +
                       ",diameter_now_um,gas_temperature_K,gas_velocity_m_s,out_of_plane_mm,out_of_plane_velocity_m_s\n";
    for (const Trajectory& t : trajectories) {
        const std::string head = t.label + "," + std::to_string(t.index) + "," + formatFixed(t.diameterUm, 2) + "," +
                                 statusName(t.status) + ",";
        for (const ParticleState& s : t.samples)
            text += head + stateColumns(s) + "," + formatFixed(s.diameterUm, 2) + "," +
                    formatFixed(s.gasTemperature, 0) + "," + formatFixed(s.gasVelocity, 1) + "," +
                    outOfPlaneColumns(s) + "\n";
    }
    return text;
}

std::vector<std::string> runDescription(const SprayOptions& o, const SprayOutcome& out) {
    const SprayStatistics s = computeStatistics(out);
    const InjectionOptions& in = o.injection;
    std::vector<std::string> lines;
    lines.push_back("powder: " + out.material.name + ", " + describePowder(out.powder) + ", seed " +
                    std::to_string(o.seed));
    lines.push_back("sample: " + countSentence(out.sampling));
    lines.push_back("sampling: " + samplingSentence(out.sampling));
    std::string speed = in.speedFrom == InjectionSpeed::Fixed
                            ? "fixed speed " + formatFixed(in.velocity, 1) + " m/s"
                            : "carrier gas argon " + formatFixed(in.carrierFlowSlpm, 2) + " SLPM through " +
                                  formatFixed(in.injectorDiameterMm, 2) + " mm bore";
    lines.push_back("injection: " + formatFixed(in.distanceMm, 2) + " mm downstream, " + formatFixed(in.radiusMm, 2) +
                    " mm from the axis, angle " + formatFixed(in.angleDeg, 1) + " deg, " + speed + " +- " +
                    formatFixed(100 * in.velocitySpread, 0) + " %, cone " + formatFixed(in.divergenceDeg, 1) + " deg");
    for (const std::string& line : describeModel(o.model, out.gasCode)) lines.push_back("model: " + line);
    for (const std::string& line : describeMaterial(out.material)) lines.push_back("material: " + line);
    lines.push_back("standoff: " + formatFixed(out.standoffMm, 1) + " mm, substrate a disc of " +
                    formatFixed(o.substrateRadiusMm, 1) + " mm radius around the axis");
    lines.push_back("particle jet deviation: " + withInterval(deviationAngleDeg(s, in, out.standoffMm), 2) + " deg");
    lines.push_back("particles: " + std::to_string(s.total) + " injected, " + std::to_string(s.arrived) + " arrived, " +
                    std::to_string(s.evaporated) + " evaporated, lost: " + lossesByReason(s));
    lines.push_back("mass of the injected: arriving " + percent(s.depositedMassShare) + ", molten arriving " +
                    percent(s.moltenMassShare) + ", evaporated " + percent(s.evaporatedMassShare));
    return lines;
}

namespace {

// The tables of sensor.csv and size-classes.csv below their headers.
std::string sensorTable(const SprayOptions& options, const SprayOutcome& outcome) {
    const SensorReading r = readSensor(outcome.particles, options.sensor);
    // The half-widths of the means' intervals follow the columns of earlier
    // versions, so that their readers keep working.
    return std::string() +
           "standoff_mm,centre_x_mm,centre_y_mm,size_mm,count,velocity_mean_m_s,velocity_spread_m_s,"
           "surface_temperature_mean_K,surface_temperature_spread_K,diameter_mean_um,diameter_spread_um,"
           "velocity_mean_half_width_m_s,surface_temperature_mean_half_width_K,diameter_mean_half_width_um\n" +
           formatFixed(outcome.standoffMm, 3) + "," + formatFixed(r.centreXMm, 3) + "," + formatFixed(r.centreYMm, 3) +
           "," + formatFixed(r.sizeMm, 2) + "," + std::to_string(r.count) + "," + formatFixed(r.velocity.mean, 2) + "," +
           formatFixed(r.velocity.spread, 2) + "," + formatFixed(r.surfaceTemperature.mean, 1) + "," +
           formatFixed(r.surfaceTemperature.spread, 1) + "," + formatFixed(r.diameterUm.mean, 2) + "," +
           formatFixed(r.diameterUm.spread, 2) + "," + halfWidthField(meanOf(r.velocity), 2) + "," +
           halfWidthField(meanOf(r.surfaceTemperature), 1) + "," + halfWidthField(meanOf(r.diameterUm), 2) + "\n";
}

std::string sizeClassTable(const SprayOptions& options, const SprayOutcome& outcome) {
    std::string text = std::string() +
                       "lower_um,upper_um,count,arrived,mass_share,velocity_m_s,surface_temperature_K,molten_share,"
                       "evaporated_share,mass_share_half_width,velocity_half_width_m_s,"
                       "surface_temperature_half_width_K,molten_share_half_width,evaporated_share_half_width\n";
    for (const SizeClass& c : sizeClasses(outcome, options.sizeClasses))
        text += formatFixed(c.lowerUm, 2) + "," + formatFixed(c.upperUm, 2) + "," + std::to_string(c.count) + "," +
                std::to_string(c.arrived) + "," + formatFixed(c.massShare.value, 4) + "," +
                formatFixed(c.velocity.value, 2) + "," + formatFixed(c.surfaceTemperature.value, 1) + "," +
                formatFixed(c.moltenShare.value, 4) + "," + formatFixed(c.evaporatedShare.value, 4) + "," +
                halfWidthField(c.massShare, 4) + "," + halfWidthField(c.velocity, 2) + "," + halfWidthField(c.surfaceTemperature, 1) +
                "," + halfWidthField(c.moltenShare, 4) + "," + halfWidthField(c.evaporatedShare, 4) + "\n";
    return text;
}

}  // namespace

std::string sensorCsv(const SprayOptions& options, const SprayOutcome& outcome) {
    return headerOf(options, outcome) + sensorTable(options, outcome);
}

std::string sizeClassesCsv(const SprayOptions& options, const SprayOutcome& outcome) {
    return headerOf(options, outcome) + sizeClassTable(options, outcome);
}

bool writeFileAtomically(const std::string& dir, const std::string& name, const std::string& text,
                         std::string& error) {
    const fs::path target = fs::path(dir) / name;
    const std::string shown = displayPath(target.string());
    std::error_code code;
    // Never through a link or onto something that is not a plain file.
    const fs::file_status status = fs::symlink_status(target, code);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        error = shown + " exists and is not a regular file; it was left alone";
        return false;
    }
    const fs::path temporary = fs::path(dir) / ("." + name + ".tmp-" + std::to_string(::getpid()));
    fs::remove(temporary, code);  // a stale one (never followed if it is a link)
    {
        // "x": created here, never an existing file or a link's target.
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(temporary.c_str(), "wbx"), &std::fclose);
        const bool written = out && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size() &&
                             std::fclose(out.release()) == 0;
        if (!written) {
            fs::remove(temporary, code);
            error = "cannot write " + shown;
            return false;
        }
    }
    fs::rename(temporary, target, code);
    if (code) {
        fs::remove(temporary, code);
        error = "cannot write " + shown;
        return false;
    }
    return true;
}

std::vector<SetMember> sprayFileSet(const SprayOptions& options, const SprayOutcome& outcome) {
    // One header for the three files that carry it, its statistics computed once.
    const std::string header = headerOf(options, outcome);
    return {{kParticlesFile, header + particlesCsv(outcome.particles)},
            {kTrajectoriesFile, trajectoriesCsv(outcome.trajectories)},
            {kSensorFile, header + sensorTable(options, outcome)},
            {kSizeClassesFile, header + sizeClassTable(options, outcome)}};
}

std::vector<std::string> sprayOutputNames() {
    return {kParticlesFile, kTrajectoriesFile, kSensorFile, kSizeClassesFile, kSprayStampFile};
}

bool checkSprayOutputs(const WorkDirLock& lock, std::string& error) {
    // Held alone, the folder's temporary files are those of a killed run.
    if (lock.held()) removeLeftTemporaryFiles(lock.directory());
    return checkReplaceable(lock.directory(), sprayOutputNames(), error);
}

namespace {

constexpr const char* kStampTitle = "KAVEL spray set";
// Room for the rows of a million particles, the most a spray takes.
constexpr std::size_t kSprayFileLimit = std::size_t(512) << 20;
// Room for the options with the long path of a measured distribution.
constexpr std::size_t kSprayStampLimit = 65536;

// The stamp's header lines by their first word.
constexpr const char* kJetKey = "jet";
constexpr const char* kJetVariantKey = "jet-variant";
constexpr const char* kOutcomeKey = "outcome";
constexpr const char* kNoticeKey = "notice";
constexpr const char* kOptionKey = "option";
constexpr const char* kMaterialColumnsKey = "material-columns";
constexpr const char* kMaterialRowKey = "material-row";
constexpr const char* kMaterialSourceKey = "material-source";
constexpr const char* kPowderSprayedKey = "powder-sprayed";
constexpr const char* kSamplingKey = "sampling";

constexpr std::pair<MaterialOrigin, const char*> kOrigins[] = {
    {MaterialOrigin::Packaged, "packaged"}, {MaterialOrigin::WorkingFolder, "folder"}, {MaterialOrigin::File, "file"}};

std::string line(const char* key, const std::string& value) { return std::string(key) + " " + value; }

}  // namespace

std::vector<std::string> sprayStampHeader(const SprayOptions& options, const SprayOutcome& outcome,
                                          const JetField& jet) {
    // The jet the spray flew through, as its own stamp identifies it.
    std::vector<std::string> header = {kStampTitle, line(kJetKey, jet.stampChecksum.empty() ? "none" : jet.stampChecksum)};
    for (const std::string& text : describeModel(options.model, outcome.gasCode)) header.push_back("model: " + text);
    for (const std::string& text : describeMaterial(outcome.material)) header.push_back("material: " + text);
    header.push_back(line(kJetVariantKey, jet.variantName));
    header.push_back(line(kOutcomeKey, std::to_string(outcome.gasCode) + " " + exactNumber(outcome.fieldEndMm) + " " +
                                           exactNumber(outcome.standoffMm)));
    if (!outcome.notice.empty()) header.push_back(line(kNoticeKey, outcome.notice));
    // The sizes drawn and the sample's facts, which the shares' estimator
    // needs (the powder's mean particle mass) and a measured file may no
    // longer give.
    const PowderAsSprayed& p = outcome.powder;
    header.push_back(line(kPowderSprayedKey, std::string(p.singleSize ? "1 " : "0 ") +
                                                 (p.basis == SizeBasis::Number ? "number " : "volume ") +
                                                 exactNumber(p.d10Um) + " " + exactNumber(p.d50Um) + " " +
                                                 exactNumber(p.d90Um) + " " + p.distributionFile));
    const SamplingFacts& f = outcome.sampling;
    header.push_back(line(kSamplingKey, std::to_string(static_cast<int>(f.rule)) + " " + std::to_string(f.flown) +
                                            " " + exactNumber(f.precisionPoints) + " " +
                                            exactNumber(f.reachedPoints) + " " + std::to_string(f.cap) + " " +
                                            exactNumber(f.meanInjectedMassKg)));
    for (const std::string& text : splitLines(powderMemoryText(options))) header.push_back(line(kOptionKey, text));
    const std::vector<std::string> row = materialRowLines(outcome.material);
    header.push_back(line(kMaterialColumnsKey, row[0]));
    header.push_back(line(kMaterialRowKey, row[1]));
    for (const auto& [origin, word] : kOrigins)
        if (origin == outcome.material.origin) header.push_back(line(kMaterialSourceKey, word + (" " + outcome.material.source)));
    return header;
}

bool writeSprayFiles(const WorkDirLock& lock, const SprayOptions& options, const SprayOutcome& outcome,
                     const JetField& jet, std::string& error) {
    return replaceFileSet(lock.directory(), sprayFileSet(options, outcome), kSprayStampFile,
                          sprayStampHeader(options, outcome, jet), error);
}

// ----- a spray read back ---------------------------------------------------------

namespace {

SpraySet refusal(const std::string& message) {
    SpraySet set;
    set.message = message;
    return set;
}

// The values of the header lines "KEY VALUE" with this key, in order.
std::vector<std::string> headerValues(const FileSetStamp& stamp, const char* key) {
    std::vector<std::string> values;
    const std::string start = std::string(key) + " ";
    for (const std::string& text : stamp.header)
        if (text.rfind(start, 0) == 0) values.push_back(text.substr(start.size()));
    return values;
}

std::string headerValue(const FileSetStamp& stamp, const char* key) {
    const std::vector<std::string> values = headerValues(stamp, key);
    return values.size() == 1 ? values.front() : std::string();
}

bool statusOf(const std::string& name, ParticleStatus& status) {
    for (ParticleStatus s : {ParticleStatus::Arrived, ParticleStatus::Evaporated, ParticleStatus::MissedSide,
                             ParticleStatus::MissedUpstream, ParticleStatus::FieldEnded, ParticleStatus::TimedOut})
        if (name == statusName(s)) return status = s, true;
    return false;
}

// The comma-separated fields of a row as numbers, from `first` on.
bool numbersOf(const std::vector<std::string>& fields, std::size_t first, std::vector<double>& numbers) {
    numbers.clear();
    for (std::size_t k = first; k < fields.size(); ++k) {
        double v = 0;
        if (!parseDecimalNumber(fields[k], v)) return false;
        numbers.push_back(v);
    }
    return true;
}

std::vector<std::string> fieldsOf(const std::string& row, char separator = ',') {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t at; (at = row.find(separator, start)) != std::string::npos; start = at + 1)
        fields.push_back(row.substr(start, at - start));
    fields.push_back(row.substr(start));
    return fields;
}

// The eleven state columns from numbers[k]; k moves past them.
ParticleState stateOf(const std::vector<double>& n, std::size_t& k) {
    ParticleState s;
    for (double* slot : {&s.axialMm, &s.radialMm, &s.velocity, &s.axialVelocity, &s.radialVelocity,
                         &s.surfaceTemperature, &s.meanTemperature, &s.coreTemperature, &s.moltenFraction,
                         &s.massFraction, &s.timeMs})
        *slot = n[k++];
    return s;
}

// The rows of a spray CSV after its "# " lines and the column line the
// writer gives (`columns`), each passed to `row` as its fields; "" or what
// is wrong, naming the line.
template <typename Row>
std::string readRows(const std::string& text, const std::string& columns, Row row) {
    const std::vector<std::string> lines = splitLines(text);
    std::size_t n = 0;
    while (n < lines.size() && lines[n].rfind("#", 0) == 0) ++n;
    if (n == lines.size() || lines[n] != columns) return "has not the columns a spray writes";
    for (++n; n < lines.size(); ++n) {
        const std::string fault = row(fieldsOf(lines[n]));
        if (!fault.empty()) return "line " + std::to_string(n + 1) + ": " + fault;
    }
    return {};
}

constexpr std::size_t kStateColumns = 11;

std::string particleRow(const std::vector<std::string>& f, const Material& material,
                        std::vector<ParticleResult>& particles) {
    std::vector<double> n;
    ParticleResult p;
    if (f.size() != 3 + kStateColumns + 4 || !statusOf(f[2], p.status) || !numbersOf({f[0], f[1]}, 0, n) ||
        n[0] < 0 || n[0] > 1e7 || n[0] != std::floor(n[0]) || !(n[1] > 0))
        return "not a particle's row";
    p.index = static_cast<int>(n[0]);
    p.diameterUm = n[1];
    if (!numbersOf(f, 3, n)) return "a number is damaged";
    std::size_t k = 0;
    p.final = stateOf(n, k);
    p.maxSurfaceTemperature = n[k++];
    p.final.outOfPlaneMm = n[k++];
    p.final.outOfPlaneVelocity = n[k++];
    p.injectionVelocity = n[k++];
    p.final.diameterUm = p.diameterUm * std::cbrt(std::max(0.0, p.final.massFraction));
    // Shares of mass need only proportions: every particle starts solid.
    constexpr double kPi = 3.14159265358979323846;
    const double metres = p.diameterUm * 1e-6;
    p.initialMassKg = material.densitySolid * kPi / 6 * metres * metres * metres;
    p.maxMoltenFraction = p.final.moltenFraction;
    particles.push_back(p);
    return {};
}

std::string trajectoryRow(const std::vector<std::string>& f, std::vector<Trajectory>& trajectories) {
    std::vector<double> n;
    ParticleStatus status;
    if (f.size() != 4 + kStateColumns + 5 || f[0].empty() || !statusOf(f[3], status) ||
        !numbersOf({f[1], f[2]}, 0, n) || n[0] < -1 || n[0] > 1e7 || n[0] != std::floor(n[0]) || !(n[1] > 0))
        return "not a trajectory's row";
    const int index = static_cast<int>(n[0]);
    const double diameter = n[1];
    if (!numbersOf(f, 4, n)) return "a number is damaged";
    // Rows of one trajectory follow each other.
    if (trajectories.empty() || trajectories.back().label != f[0] || trajectories.back().index != index ||
        trajectories.back().diameterUm != diameter)
        trajectories.push_back(Trajectory{f[0], index, diameter, status, {}});
    std::size_t k = 0;
    ParticleState s = stateOf(n, k);
    s.diameterUm = n[k++];
    s.gasTemperature = n[k++];
    s.gasVelocity = n[k++];
    s.outOfPlaneMm = n[k++];
    s.outOfPlaneVelocity = n[k++];
    trajectories.back().samples.push_back(s);
    return {};
}

// The first line of a writer's text: the column names.
std::string columnLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// What the stamp's header says beyond the files: the options, the outcome's
// plane, gas and field end, and the material row. "" or what is missing.
std::string readStampHeader(const FileSetStamp& stamp, const std::string& where, SpraySet& set) {
    const std::vector<std::string> options = headerValues(stamp, kOptionKey);
    if (options.empty()) return "was written by an earlier version, which kept no options there";
    const std::string fault = readPowderMemoryLines(options, set.options);
    if (!fault.empty()) return "has in its options " + fault;
    std::vector<double> n;
    const std::vector<std::string> outcome = fieldsOf(headerValue(stamp, kOutcomeKey), ' ');
    if (outcome.size() != 3 || !numbersOf(outcome, 0, n) || n[0] != std::floor(n[0]) || n[0] < 0 || n[0] > 99 ||
        !(n[2] > 0))
        return "has no sound outcome line";
    set.outcome.gasCode = static_cast<int>(n[0]);
    set.outcome.fieldEndMm = n[1];
    set.outcome.standoffMm = n[2];
    set.outcome.notice = headerValue(stamp, kNoticeKey);
    const std::string powder = headerValue(stamp, kPowderSprayedKey);
    // "SINGLE BASIS D10 D50 D90 FILE", the file's name last as it may hold blanks.
    const std::vector<std::string> words = fieldsOf(powder, ' ');
    if (words.size() < 6 || (words[0] != "0" && words[0] != "1") || (words[1] != "volume" && words[1] != "number") ||
        !numbersOf({words[2], words[3], words[4]}, 0, n))
        return "has no sound line of the powder sprayed";
    PowderAsSprayed& p = set.outcome.powder;
    p.singleSize = words[0] == "1";
    p.basis = words[1] == "number" ? SizeBasis::Number : SizeBasis::Volume;
    p.d10Um = n[0], p.d50Um = n[1], p.d90Um = n[2];
    std::size_t fileAt = 0;
    for (int k = 0; k < 5; ++k) fileAt = powder.find(' ', fileAt) + 1;
    p.distributionFile = powder.substr(fileAt);
    const std::vector<std::string> sample = fieldsOf(headerValue(stamp, kSamplingKey), ' ');
    if (sample.size() != 6 || !numbersOf(sample, 0, n) || n[0] != std::floor(n[0]) || n[0] < 0 || n[0] > 2 ||
        n[1] != std::floor(n[1]) || n[1] < 0 || n[1] > 1e7 || n[4] != std::floor(n[4]) || n[4] < 0 || n[4] > 1e7 ||
        !(n[5] >= 0))
        return "has no sound sampling line";
    SamplingFacts& f = set.outcome.sampling;
    f.rule = static_cast<CountRule>(static_cast<int>(n[0]));
    f.flown = static_cast<int>(n[1]);
    f.precisionPoints = n[2], f.reachedPoints = n[3];
    f.cap = static_cast<int>(n[4]);
    f.meanInjectedMassKg = n[5];
    set.jet = headerValue(stamp, kJetKey);
    set.jetVariant = headerValue(stamp, kJetVariantKey);
    const MaterialStatus material =
        readMaterialRow({headerValue(stamp, kMaterialColumnsKey), headerValue(stamp, kMaterialRowKey)},
                        "The material row of " + where, set.outcome.material);
    if (!material.ok) return "has a material row that is not sound (" + material.message + ")";
    const std::string source = headerValue(stamp, kMaterialSourceKey);
    for (const auto& [origin, word] : kOrigins)
        if (source.rfind(word + std::string(" "), 0) == 0) {
            set.outcome.material.origin = origin;
            set.outcome.material.source = source.substr(std::strlen(word) + 1);
        }
    return {};
}

bool anySprayFile(const std::string& dir) {
    std::string text, why;
    for (const std::string& name : sprayOutputNames())
        if (readRegularFile(dir + "/" + name, 1, text, why) || why.find("larger") != std::string::npos) return true;
    return false;
}

// The spray whose set lies in `folder` (the working folder or a kept
// spray's); with `jetNow` the checksum the spray's jet line must have.
SpraySet readSprayIn(const std::string& folder, const std::string* jetNow) {
    const std::string shown = displayPath(folder);
    const std::string stampPath = shown + "/" + kSprayStampFile;
    FileSetStamp stamp;
    std::string why;
    if (!readFileSetStamp(shown, kSprayStampFile, stamp, why, "spray again", kSprayStampLimit)) {
        if (why.find("is missing") == std::string::npos) return refusal(why);
        if (!anySprayFile(shown)) {
            SpraySet set = refusal("There is no spray in " + shown + ".");
            set.none = true;
            return set;
        }
        return refusal("The spray in " + shown + " is unfinished (a spray was stopped or killed while it replaced "
                       "its files): " + kSprayStampFile + ", which a spray writes last, is missing; spray again.");
    }
    if (stamp.header.empty() || stamp.header[0] != kStampTitle)
        return refusal("The spray stamp " + stampPath + " is damaged; spray again.");
    for (const SetMember& member : sprayFileSet(SprayOptions(), SprayOutcome())) {
        bool listed = false;
        for (const FileSetStamp::Member& m : stamp.members) listed = listed || m.name == member.name;
        if (!listed) return refusal("The spray stamp " + stampPath + " does not list " + member.name + "; spray again.");
    }
    if (stamp.members.size() != 4) return refusal("The spray stamp " + stampPath + " lists files of no spray; spray again.");
    const std::string stray = firstStrayMember(shown, stamp, kSprayFileLimit);
    if (!stray.empty()) {
        std::string text;
        if (!readRegularFile(shown + "/" + stray, kSprayFileLimit, text, why))
            return refusal("The spray in " + shown + " is unfinished: " + shown + "/" + stray + " " + why +
                           "; spray again.");
        return refusal("The spray in " + shown + " is mixed: " + stray + " is not the file the spray that wrote the "
                       "others left there (a spray stopped or killed while it replaced them, or a file changed "
                       "since); spray again.");
    }
    SpraySet set;
    const std::string header = readStampHeader(stamp, stampPath, set);
    if (!header.empty()) return refusal("The spray stamp " + stampPath + " " + header + "; spray again to show the spray.");
    if (jetNow && set.jet != *jetNow)
        return refusal(*jetNow == "none"
                           ? "The spray in " + shown + " was made in a jet that is no longer in the folder (" +
                                 kResultStampFile + " is missing); calculate the jet, then spray again."
                           : "The spray in " + shown + " was made in another jet (" + set.jetVariant +
                                 ") than the one the folder holds now; spray again into this jet.");
    // Each file read once: its rows, and for particles.csv its header below.
    const auto rowsOf = [&](const char* name, const std::string& columns, const auto& row,
                            std::string& text) -> std::string {
        std::string why;
        if (!readRegularFile(shown + "/" + name, kSprayFileLimit, text, why))
            return "The spray file " + shown + "/" + name + " " + why + "; spray again.";
        const std::string fault = readRows(text, columns, row);
        return fault.empty() ? fault : "The spray file " + shown + "/" + name + " " + fault + "; spray again.";
    };
    std::string particlesText, trajectoriesText;
    std::string fault = rowsOf(
        kParticlesFile, columnLine(particlesCsv(std::vector<ParticleResult>())),
        [&set](const std::vector<std::string>& f) { return particleRow(f, set.outcome.material, set.outcome.particles); },
        particlesText);
    if (fault.empty())
        fault = rowsOf(
            kTrajectoriesFile, columnLine(trajectoriesCsv({})),
            [&set](const std::vector<std::string>& f) { return trajectoryRow(f, set.outcome.trajectories); },
            trajectoriesText);
    if (!fault.empty()) return refusal(fault);
    // The stamp's own lines against what the files say of the spray: an
    // option or the material edited in the stamp and sealed again shows here.
    const std::string particlesHeader = "\n" + particlesText.substr(0, particlesText.find("\nindex,") + 1);
    for (const std::string& line : splitLines(headerOf(set.options, set.outcome)))
        for (const char* decided : {"# powder: ", "# sample: ", "# injection: ", "# model: ", "# material: ", "# standoff: "})
            if (line.rfind(decided, 0) == 0 && particlesHeader.find("\n" + line + "\n") == std::string::npos)
                return refusal("The spray stamp " + stampPath + " disagrees with the header of " + kParticlesFile +
                               " (\"" + line.substr(2, 60) + "\"): its options or material are not the spray's; "
                               "spray again.");
    if (set.outcome.particles.empty()) return refusal("The spray file " + shown + "/" + kParticlesFile + " holds no particle; spray again.");
    set.ok = true;
    return set;
}

}  // namespace

SpraySet readSpraySet(const WorkDirLock& lock) {
    const std::string jetNow = resultStampChecksum(lock.directory());
    return readSprayIn(lock.directory(), &jetNow);
}

SpraySet readSpraySet(const std::string& dir) {
    const WorkDirLock lock(dir, LockMode::Shared);
    // A folder that allows no lock file (read-only) has no run writing in it.
    if (lock.status() == WorkDirLock::Status::Busy || lock.status() == WorkDirLock::Status::NoDirectory)
        return refusal(lock.message());
    return readSpraySet(lock);
}

// ----- kept sprays ------------------------------------------------------------------

namespace {

bool keptNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-' ||
           c == '_' || c == '.';
}

std::string keptFolder(const std::string& dir, const std::string& name) {
    return displayPath(dir) + "/" + kKeptSpraysFolder + "/" + name;
}

// A folder at path, made when missing; never through a link.
bool folderAt(const std::string& path, std::string& error) {
    std::error_code code;
    const fs::file_status status = fs::symlink_status(path, code);
    if (fs::is_directory(status)) return true;
    if (fs::exists(status)) {
        error = path + " exists and is not a folder; it was left alone.";
        return false;
    }
    if (!fs::create_directory(path, code)) {
        error = "The folder " + path + " cannot be made (" + code.message() + ").";
        return false;
    }
    return true;
}

// Removes a kept spray's files and then its folder, if nothing else is in it.
void removeKept(const std::string& folder) {
    std::error_code code;
    for (const std::string& name : sprayOutputNames()) fs::remove(folder + "/" + name, code);
    fs::remove(folder, code);
}

}  // namespace

std::string keptSprayName(const std::string& typed) {
    std::string name;
    for (char c : typed) name += keptNameCharacter(c) ? c : '_';
    const std::size_t first = name.find_first_not_of(" .");
    if (first == std::string::npos) return {};
    name = name.substr(first, 40);
    name = name.substr(0, name.find_last_not_of(" .") + 1);
    const bool named = std::any_of(name.begin(), name.end(),
                                   [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
    return named ? name : std::string();
}

std::vector<std::string> keptSprays(const std::string& dir) {
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code code;
    const std::string sprays = displayPath(dir) + "/" + kKeptSpraysFolder;
    if (!fs::is_directory(fs::symlink_status(sprays, code))) return {};
    for (fs::directory_iterator it(sprays, code), end; !code && it != end; it.increment(code)) {
        const std::string name = it->path().filename().string();
        const fs::path stamp = it->path() / kSprayStampFile;
        if (name != keptSprayName(name) || !fs::is_directory(fs::symlink_status(it->path(), code)) ||
            !fs::is_regular_file(fs::symlink_status(stamp, code)))
            continue;
        found.emplace_back(fs::last_write_time(stamp, code), name);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<std::string> names;
    for (const auto& entry : found) names.push_back(entry.second);
    return names;
}

bool keepSpray(const std::string& dir, const std::string& typed, std::string& error) {
    const std::string name = keptSprayName(typed);
    if (name.empty()) {
        error = "A spray's name needs a letter or a digit; \"" + typed + "\" has none.";
        return false;
    }
    const WorkDirLock lock(dir);
    if (!lock.held()) {
        error = lock.message();
        return false;
    }
    const SpraySet set = readSpraySet(lock);
    if (!set.ok) {
        error = set.message;
        return false;
    }
    FileSetStamp stamp;
    std::vector<SetMember> members;
    if (!readFileSetStamp(lock.directory(), kSprayStampFile, stamp, error, "spray again", kSprayStampLimit))
        return false;
    for (const FileSetStamp::Member& m : stamp.members) {
        members.push_back({m.name, {}});
        std::string why;
        if (!readRegularFile(lock.directory() + "/" + m.name, kSprayFileLimit, members.back().text, why)) {
            error = "The spray file " + lock.directory() + "/" + m.name + " " + why + ".";
            return false;
        }
    }
    const std::string folder = keptFolder(dir, name);
    if (!folderAt(lock.directory() + "/" + kKeptSpraysFolder, error) || !folderAt(folder, error) ||
        !replaceFileSet(folder, members, kSprayStampFile, stamp.header, error))
        return false;
    const std::vector<std::string> kept = keptSprays(dir);
    for (std::size_t k = kKeptSprayLimit; k < kept.size(); ++k)
        if (kept[k] != name) removeKept(keptFolder(dir, kept[k]));
    return true;
}

SpraySet readKeptSpray(const std::string& dir, const std::string& name) {
    const WorkDirLock lock(dir, LockMode::Shared);
    if (lock.status() == WorkDirLock::Status::Busy || lock.status() == WorkDirLock::Status::NoDirectory)
        return refusal(lock.message());
    const std::string folder = keptFolder(dir, name);
    if (name.empty() || name != keptSprayName(name) || !isDirectoryEntry(folder))
        return refusal("There is no spray kept as \"" + name + "\" in " + displayPath(dir) + ".");
    return readSprayIn(folder, nullptr);
}

} // namespace torvex::particles
