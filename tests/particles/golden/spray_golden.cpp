#include "tests/particles/golden/spray_golden.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
#include "solver/files.h"
#include "solver/solver.h"
#include "tests/support/temp_dir.h"

namespace torvex::particles::golden {

namespace {

// Every golden case flies this many particles and keeps the trajectories of
// d10, d50, d90 and two samples unless its line says otherwise: enough to
// cover every path, few enough for a test of a second.
constexpr int kDefaultCount = 60;
constexpr int kDefaultSamples = 2;
constexpr std::size_t kEveryNthSample = 10;

std::string rightJustified(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

bool toNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

// The setters of a case's key=value options; flags take no value.
using Setter = std::function<void(GoldenCase&, double)>;
const std::map<std::string, Setter>& valueOptions() {
    static const std::map<std::string, Setter> options = {
        {"d10", [](GoldenCase& c, double v) { c.options.powder.d10Um = v; }},
        {"d50", [](GoldenCase& c, double v) { c.options.powder.d50Um = v; }},
        {"d90", [](GoldenCase& c, double v) { c.options.powder.d90Um = v; }},
        {"diameter",
         [](GoldenCase& c, double v) {
             c.options.powder.singleSize = true;
             c.options.powder.d50Um = v;
         }},
        {"count", [](GoldenCase& c, double v) { c.options.powder.count = static_cast<int>(v); }},
        {"seed", [](GoldenCase& c, double v) { c.options.seed = static_cast<std::uint64_t>(v); }},
        {"distance", [](GoldenCase& c, double v) { c.options.injection.distanceMm = v; }},
        {"radius", [](GoldenCase& c, double v) { c.options.injection.radiusMm = v; }},
        {"velocity",
         [](GoldenCase& c, double v) {
             c.options.injection.speedFrom = InjectionSpeed::Fixed;
             c.options.injection.velocity = v;
         }},
        {"carrier", [](GoldenCase& c, double v) { c.options.injection.carrierFlowSlpm = v; }},
        {"angle", [](GoldenCase& c, double v) { c.options.injection.angleDeg = v; }},
        {"spread", [](GoldenCase& c, double v) { c.options.injection.velocitySpread = v; }},
        {"divergence", [](GoldenCase& c, double v) { c.options.injection.divergenceDeg = v; }},
        {"side", [](GoldenCase& c, double v) { c.options.injection.side = v; }},
        {"standoff", [](GoldenCase& c, double v) { c.options.standoffMm = v; }},
        {"shells", [](GoldenCase& c, double v) { c.options.model.shellCount = static_cast<int>(v); }},
        {"samples", [](GoldenCase& c, double v) { c.options.sampledTrajectories = static_cast<int>(v); }},
        {"records", [](GoldenCase& c, double v) { c.fieldRecords = static_cast<int>(v); }},
    };
    return options;
}

bool applyOption(GoldenCase& c, const std::string& option) {
    if (option == "lumped") {
        c.options.model.internalConduction = false;
        return true;
    }
    if (option == "gravity") {
        c.options.model.gravity = true;
        return true;
    }
    const std::size_t equals = option.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = option.substr(0, equals), value = option.substr(equals + 1);
    if (key == "material") {
        c.options.powder.material = value;
        return !value.empty();
    }
    const auto setter = valueOptions().find(key);
    double number = 0;
    if (setter == valueOptions().end() || !toNumber(value, number)) return false;
    setter->second(c, number);
    return true;
}

bool readJetLine(const std::vector<std::string>& f, GoldenJet& jet) {
    if (f.size() != 10) return false;
    jet.name = f[1];
    jet.unitLine = f[2] + " " + f[3] + " " + f[4] + " " + f[4] + " \n";
    jet.inputLine = rightJustified(f[5], 2) + " " + rightJustified(f[6], 5) + " " + rightJustified(f[7], 5) +
                    " " + rightJustified(f[8], 4) + " " + rightJustified(f[9], 3) + "\n";
    jet.gasCode = std::atoi(f[5].c_str());
    return true;
}

std::string readCaseLine(const std::vector<std::string>& f, GoldenCase& c) {
    if (f.size() < 3) return "needs a name, a jet and the options";
    c.name = f[1];
    c.jet = f[2];
    c.options.powder.count = kDefaultCount;
    c.options.sampledTrajectories = kDefaultSamples;
    c.options.threads = 2;
    for (std::size_t k = 3; k < f.size(); ++k)
        if (!applyOption(c, f[k])) return "has an option it does not know: " + f[k];
    return {};
}

// ----- The files of a golden ------------------------------------------------

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string moments(const char* what, const WeightedMoments& m) {
    return std::string(what) + ": by number " + number(m.byNumber.mean) + " +- " + number(m.byNumber.spread) +
           ", by mass " + number(m.byMass.mean) + " +- " + number(m.byMass.spread) + "\n";
}

std::string histogram(const char* what, const std::vector<ParticleResult>& particles,
                      HistogramQuantity quantity) {
    const Histogram h = histogramOf(particles, quantity, 10);
    std::string text = std::string("histogram of ") + what + " from " + number(h.lower) + " by " +
                       number(h.binWidth) + ": counts";
    for (double c : h.count) text += " " + number(c);
    text += "; mass shares";
    for (double m : h.mass) text += " " + number(m);
    return text + "\n";
}

std::string summaryText(const GoldenCase& c, const JetField& field, const std::string& fieldChecksum,
                        const SprayOutcome& out) {
    const char* result = out.result == SprayResult::Completed   ? "completed"
                         : out.result == SprayResult::Cancelled ? "cancelled"
                                                                : "bad input";
    std::ostringstream s;
    s << "jet: " << c.jet << ", gas code " << field.gasCode << ", " << field.recordCount
      << " cross-sections to " << number(field.endMm()) << " mm, ftu.res checksum " << fieldChecksum << "\n";
    s << "material: " << out.material.key << "\n";
    s << "result: " << result << "\n";
    s << "message: " << out.message << "\n";
    s << "notice: " << out.notice << "\n";
    s << "standoff: " << number(out.standoffMm) << " mm\n";
    const SprayStatistics st = computeStatistics(out);
    s << "particles: " << st.total << " total, " << st.arrived << " arrived (" << st.fullyMolten
      << " fully molten, " << st.partlyMolten << " partly, " << st.solid << " solid), " << st.evaporated
      << " evaporated, " << st.missed << " missed, " << st.fieldEnded << " at the end of the field\n";
    s << moments("velocity m/s", st.velocity) << moments("surface temperature K", st.surfaceTemperature)
      << moments("mean temperature K", st.meanTemperature) << moments("molten fraction", st.moltenFraction)
      << moments("position mm", st.radialPosition) << moments("flight time ms", st.flightTime);
    s << "spot: centre " << number(st.spotCentreMm.value) << " mm, spread " << number(st.spotSpreadMm)
      << " mm; molten mass share " << number(st.moltenMassShare.value) << ", deposited mass share "
      << number(st.depositedMassShare.value) << "\n";
    double gas = 0, radiated = 0, vapour = 0, gain = 0;
    for (const ParticleResult& p : out.particles) {
        gas += p.heatFromGas;
        radiated += p.heatRadiated;
        vapour += p.heatOfVapour;
        gain += p.enthalpyGain;
    }
    s << "energy J: from the gas " << number(gas) << ", radiated " << number(radiated) << ", vapour "
      << number(vapour) << ", enthalpy gain " << number(gain) << "\n";
    s << histogram("velocity", out.particles, HistogramQuantity::Velocity)
      << histogram("surface temperature", out.particles, HistogramQuantity::SurfaceTemperature)
      << histogram("molten fraction", out.particles, HistogramQuantity::MoltenFraction)
      << histogram("radial position", out.particles, HistogramQuantity::RadialPosition);
    return s.str();
}

// Every tenth sample and the last of each trajectory in full, and one
// checksum over all the samples of each.
void writeTrajectoryFiles(const SprayOutcome& out, const std::string& dir) {
    std::string thin, sums;
    for (const Trajectory& t : out.trajectories) {
        std::vector<std::string> lines = splitLines(trajectoriesCsv({t}));
        if (thin.empty() && !lines.empty()) thin = lines.front() + "\n";
        if (!lines.empty()) lines.erase(lines.begin());  // the header
        std::string all;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            all += lines[k] + "\n";
            if (k % kEveryNthSample == 0 || k + 1 == lines.size()) thin += lines[k] + "\n";
        }
        sums += t.label + " " + std::to_string(t.index) + " " + number(t.diameterUm) + " um " +
                statusName(t.status) + ": " + std::to_string(lines.size()) + " samples, checksum " +
                checksum(all) + "\n";
    }
    writeText(dir + "/trajectories-every10.csv", thin);
    writeText(dir + "/trajectories.sum", sums);
}

void cutField(JetField& field, int records) {
    if (records <= 1 || records >= field.recordCount) return;
    field.recordCount = records;
    const std::size_t values = static_cast<std::size_t>(records) * kFieldRadii;
    field.temperature.resize(values);
    field.axialVelocity.resize(values);
    field.radialVelocity.resize(values);
}

}  // namespace

const GoldenJet* GoldenManifest::findJet(const std::string& name) const {
    for (const GoldenJet& j : jets)
        if (j.name == name) return &j;
    return nullptr;
}

bool readManifest(const std::string& path, GoldenManifest& manifest, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "The golden manifest " + path + " cannot be read.";
        return false;
    }
    GoldenManifest read;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        const std::vector<std::string> f = splitWords(line.substr(0, line.find('#')));
        if (f.empty()) continue;
        const std::string where = "The golden manifest " + path + " line " + std::to_string(n);
        if (f[0] == "jet") {
            GoldenJet jet;
            if (!readJetLine(f, jet)) {
                error = where + " needs a jet name, three unit codes and five inputs.";
                return false;
            }
            read.jets.push_back(jet);
        } else if (f[0] == "case") {
            GoldenCase c;
            const std::string fault = readCaseLine(f, c);
            if (!fault.empty() || !read.findJet(c.jet)) {
                error = where +
                        (fault.empty() ? " names a jet not defined above it: " + c.jet : " " + fault) + ".";
                return false;
            }
            read.cases.push_back(c);
        } else {
            error = where + " is neither a jet nor a case.";
            return false;
        }
    }
    manifest = std::move(read);
    return true;
}

std::string computeJet(const GoldenJet& jet, const std::string& dir) {
    writeText(dir + "/un.dat", jet.unitLine);
    writeText(dir + "/ip.dat", jet.inputLine);
    // The gas file of the source tree, never an installed one.
    const std::string gasFile = gasFileName(jet.gasCode);
    if (!gasFile.empty()) writeText(dir + "/" + gasFile, readFileText(test::sourceDataFile(gasFile)).text);
    auto state = std::make_unique<SolverState>();
    const RunOutcome outcome = runSolver(*state, dir, [](int) {});
    return outcome.result == RunResult::Completed ? std::string()
                                                  : "the jet " + jet.name + ": " + outcome.message;
}

void runCase(const GoldenCase& c, const std::string& jetDir, const std::string& dir) {
    JetField field;
    const FieldStatus status = readJetField(jetDir, field);
    if (!status.ok) {
        writeText(dir + "/summary.txt", "jet: " + status.message + "\n");
        return;
    }
    cutField(field, c.fieldRecords);
    MaterialTable materials;
    const MaterialStatus read = readMaterialFile(test::sourceDataFile("materials.csv"), materials);
    const Material* material = read.ok ? materials.find(c.options.powder.material) : nullptr;
    if (!material) {
        writeText(dir + "/summary.txt",
                  "material: " + c.options.powder.material + " not found. " + read.message + "\n");
        return;
    }
    const SprayOutcome out = simulateSpray(field, *material, c.options, nullptr);
    const std::string fieldChecksum = checksum(readFileText(jetDir + "/ftu.res").text);
    writeText(dir + "/summary.txt", summaryText(c, field, fieldChecksum, out));
    writeText(dir + "/particles.csv", particlesCsv(out.particles));
    writeTrajectoryFiles(out, dir);
}

const std::vector<std::string>& goldenFileNames() {
    static const std::vector<std::string> names = {"summary.txt", "particles.csv", "trajectories-every10.csv",
                                                   "trajectories.sum"};
    return names;
}

}  // namespace torvex::particles::golden
