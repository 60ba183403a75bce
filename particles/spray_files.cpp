#include "particles/spray_files.h"

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

constexpr const char* kStateHeader =
    "axial_mm,radial_mm,velocity_m_s,axial_velocity_m_s,radial_velocity_m_s,surface_temperature_K,"
    "mean_temperature_K,core_temperature_K,molten_fraction,mass_fraction,time_ms";

} // namespace

std::string particlesCsv(const std::vector<ParticleResult>& particles) {
    std::string text = std::string("index,diameter_um,status,") + kStateHeader + ",max_surface_temperature_K\n";
    for (const ParticleResult& p : particles) {
        text += std::to_string(p.index) + "," + formatFixed(p.diameterUm, 2) + "," + statusName(p.status) + "," +
                stateColumns(p.final) + "," + formatFixed(p.maxSurfaceTemperature, 1) + "\n";
    }
    return text;
}

std::string trajectoriesCsv(const std::vector<Trajectory>& trajectories) {
    std::string text = std::string("particle,index,diameter_um,status,") + kStateHeader +
                       ",diameter_now_um,gas_temperature_K,gas_velocity_m_s\n";
    for (const Trajectory& t : trajectories) {
        const std::string head = t.label + "," + std::to_string(t.index) + "," + formatFixed(t.diameterUm, 2) + "," +
                                 statusName(t.status) + ",";
        for (const ParticleState& s : t.samples)
            text += head + stateColumns(s) + "," + formatFixed(s.diameterUm, 2) + "," +
                    formatFixed(s.gasTemperature, 0) + "," + formatFixed(s.gasVelocity, 1) + "\n";
    }
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

std::vector<SetMember> sprayFileSet(const SprayOutcome& outcome) {
    return {{kParticlesFile, particlesCsv(outcome.particles)},
            {kTrajectoriesFile, trajectoriesCsv(outcome.trajectories)}};
}

std::vector<std::string> sprayOutputNames() { return {kParticlesFile, kTrajectoriesFile, kSprayStampFile}; }

bool checkSprayOutputs(const WorkDirLock& lock, std::string& error) {
    // Held alone, the folder's temporary files are those of a killed run.
    if (lock.held()) removeLeftTemporaryFiles(lock.directory());
    return checkReplaceable(lock.directory(), sprayOutputNames(), error);
}

bool writeSprayFiles(const WorkDirLock& lock, const SprayOutcome& outcome, std::string& error) {
    const std::string& dir = lock.directory();
    // The jet the spray flew through, as its own stamp identifies it.
    std::string jetStamp, why;
    const std::string jet = readRegularFile(dir + "/" + kResultStampFile, kSmallFileLimit, jetStamp, why)
                                ? checksumText(contentChecksum(jetStamp))
                                : std::string("none");
    return replaceFileSet(dir, sprayFileSet(outcome), kSprayStampFile, {"KAVEL spray set", "jet " + jet}, error);
}

bool writeSprayFiles(const std::string& dir, const SprayOutcome& outcome, std::string& error) {
    const WorkDirLock lock(dir);
    if (!lock.held()) {
        error = lock.message();
        return false;
    }
    return writeSprayFiles(lock, outcome, error);
}

} // namespace torvex::particles
