#include "particles/spray_files.h"

#include "particles/in_flight.h"
#include "particles/spray_statistics.h"
#include "particles/text_file.h"
#include "solver/result_set.h"

#include <cstdio>
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

std::string particlesCsv(const SprayOptions& options, const SprayOutcome& outcome) {
    return headerOf(options, outcome) + particlesCsv(outcome.particles);
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

std::string sensorCsv(const SprayOptions& options, const SprayOutcome& outcome) {
    const SensorReading r = readSensor(outcome.particles, options.sensor);
    // The half-widths of the means' intervals follow the columns of earlier
    // versions, so that their readers keep working.
    return headerOf(options, outcome) +
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

std::string sizeClassesCsv(const SprayOptions& options, const SprayOutcome& outcome) {
    std::string text = headerOf(options, outcome) +
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
    return {{kParticlesFile, particlesCsv(options, outcome)},
            {kTrajectoriesFile, trajectoriesCsv(outcome.trajectories)},
            {kSensorFile, sensorCsv(options, outcome)},
            {kSizeClassesFile, sizeClassesCsv(options, outcome)}};
}

std::vector<std::string> sprayOutputNames() {
    return {kParticlesFile, kTrajectoriesFile, kSensorFile, kSizeClassesFile, kSprayStampFile};
}

bool checkSprayOutputs(const WorkDirLock& lock, std::string& error) {
    // Held alone, the folder's temporary files are those of a killed run.
    if (lock.held()) removeLeftTemporaryFiles(lock.directory());
    return checkReplaceable(lock.directory(), sprayOutputNames(), error);
}

bool writeSprayFiles(const WorkDirLock& lock, const SprayOptions& options, const SprayOutcome& outcome,
                     std::string& error) {
    const std::string& dir = lock.directory();
    // The jet the spray flew through, as its own stamp identifies it.
    std::string jetStamp, why;
    const std::string jet = readRegularFile(dir + "/" + kResultStampFile, kSmallFileLimit, jetStamp, why)
                                ? checksumText(contentChecksum(jetStamp))
                                : std::string("none");
    std::vector<std::string> header = {"KAVEL spray set", "jet " + jet};
    for (const std::string& line : describeModel(options.model, outcome.gasCode)) header.push_back("model: " + line);
    for (const std::string& line : describeMaterial(outcome.material)) header.push_back("material: " + line);
    return replaceFileSet(dir, sprayFileSet(options, outcome), kSprayStampFile, header, error);
}

} // namespace torvex::particles
