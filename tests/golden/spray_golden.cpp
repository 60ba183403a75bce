#include "tests/golden/spray_golden.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "particles/particle_model.h"
#include "particles/spray_files.h"
#include "particles/spray_in_folder.h"
#include "solver/data_folders.h"

namespace torvex::golden {

namespace {

bool parseNumber(const std::string& text, double& value) {
    std::istringstream in(text);
    in >> value;
    return in && in.peek() == std::char_traits<char>::eof();
}

particles::SprayOptions optionsFor(const SprayVariant& v) {
    particles::SprayOptions o;
    o.powder.material = v.material;
    o.powder.singleSize = v.d10Um == v.d90Um;
    o.powder.d10Um = v.d10Um;
    o.powder.d50Um = v.d50Um;
    o.powder.d90Um = v.d90Um;
    o.powder.count = v.count;
    o.injection.distanceMm = v.injectorMm;
    o.injection.radiusMm = v.injectorRadiusMm;
    o.injection.speedFrom = particles::InjectionSpeed::Fixed;
    o.injection.velocity = v.injectionVelocity;
    o.standoffMm = v.standoffMm;
    o.seed = static_cast<std::uint64_t>(v.seed);
    o.threads = 1;
    o.sampledTrajectories = 2;  // besides d10, d50 and d90: keeps the file small
    return o;
}

std::string summary(const particles::SprayOutcome& outcome) {
    const char* result = outcome.result == particles::SprayResult::Completed   ? "completed"
                         : outcome.result == particles::SprayResult::Cancelled ? "cancelled"
                                                                               : "bad input";
    std::map<std::string, int> ends;
    for (const auto& p : outcome.particles) ++ends[particles::statusName(p.status)];
    std::ostringstream out;
    out << "result: " << result << "\nmessage: " << outcome.message << "\nnotice: " << outcome.notice
        << "\nfield ends at mm: " << outcome.fieldEndMm << "\nstandoff mm: " << outcome.standoffMm << "\n";
    for (const auto& [status, count] : ends) out << status << ": " << count << "\n";
    return out.str();
}

// particles.csv's header names the packaged materials table by its path,
// the checkout's here: written as "DATA" so that the golden holds anywhere.
void unplaceDataFolder(const std::string& file) {
    const std::string folder = std::filesystem::path(locatePackagedFile("materials.csv")).parent_path().string();
    std::string text = readFileText(file).text;
    const std::size_t at = text.find(folder + "/materials.csv");
    if (at != std::string::npos) text.replace(at, folder.size(), "DATA");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

bool readSprayManifest(const std::string& path, std::vector<SprayVariant>& sprays, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "The spray manifest " + path + " cannot be read.";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::vector<std::string> f = splitWords(line.substr(0, line.find('#')));
        if (f.empty()) continue;
        double n[9] = {};
        bool ok = f.size() == 12;
        for (int k = 0; ok && k < 9; ++k) ok = parseNumber(f[3 + static_cast<std::size_t>(k)], n[k]);
        if (!ok) {
            error = "The spray manifest " + path + " line " + std::to_string(number) +
                    " needs a name, a jet variant, a material and nine numbers.";
            return false;
        }
        SprayVariant v;
        v.name = f[0];
        v.jet = f[1];
        v.material = f[2];
        v.d10Um = n[0];
        v.d50Um = n[1];
        v.d90Um = n[2];
        v.count = static_cast<int>(n[3]);
        v.injectorMm = n[4];
        v.injectorRadiusMm = n[5];
        v.injectionVelocity = n[6];
        v.standoffMm = n[7];
        v.seed = static_cast<int>(n[8]);
        sprays.push_back(v);
    }
    return true;
}

void runSprayVariant(const SprayVariant& spray, const GoldenVariant& jet, const std::string& dir) {
    runVariant(jet, dir);
    particles::SprayRequest request;
    request.folder = dir;
    request.options = optionsFor(spray);
    const particles::SprayReport report = particles::sprayIntoFolder(request);
    // A spray refused before its flight has only the report's word.
    particles::SprayOutcome outcome = report.spray;
    if (!report.flown) {
        outcome.result = report.result == particles::JobResult::Cancelled ? particles::SprayResult::Cancelled
                                                                          : particles::SprayResult::BadInput;
        outcome.message = report.message;
    }
    const std::string error = report.flown && report.result != particles::JobResult::Completed ? report.message : "";
    if (report.result == particles::JobResult::Completed) unplaceDataFolder(dir + "/particles.csv");
    std::ofstream(dir + "/spray.txt", std::ios::binary | std::ios::trunc) << summary(outcome) << error;
}

const std::vector<std::string>& sprayGoldenFileNames() {
    static const std::vector<std::string> names = {"spray.txt", "particles.csv", "trajectories.csv"};
    return names;
}

}  // namespace torvex::golden
