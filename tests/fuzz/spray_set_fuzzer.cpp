// A folder's last spray as Kavel reads it back (readSpraySet): spray.stamp's
// header lines, particles.csv, trajectories.csv and results.stamp of one
// input, separated by form feeds. The stamp is sealed as a spray writes it
// (its member lines and checksum from the pieces), so that the reader gets
// past the stamp to the header it trusts and the rows it parses; an input
// whose first byte is '!' keeps its first piece as the stamp itself.
#include "particles/spray_files.h"
#include "solver/file_set.h"
#include "solver/result_set.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvex;
    std::vector<std::string> pieces = fuzz::splitAtFormFeeds(data, size);
    pieces.resize(4);
    const bool raw = !pieces[0].empty() && pieces[0][0] == '!';
    const std::vector<SetMember> members = {{particles::kParticlesFile, pieces[1]},
                                            {particles::kTrajectoriesFile, pieces[2]},
                                            {particles::kSensorFile, ""},
                                            {particles::kSizeClassesFile, ""}};
    std::vector<std::string> stamp = splitLines(pieces[0]);
    for (const SetMember& m : members) {
        fuzz::writeScratchFile(m.name, m.text);
        stamp.push_back(stampLine(m.name, m.text));
    }
    fuzz::writeScratchFile(kResultStampFile, pieces[3]);
    fuzz::writeScratchFile(particles::kSprayStampFile, raw ? pieces[0].substr(1) : stampText(stamp));
    const particles::SpraySet set = particles::readSpraySet(fuzz::scratchFolder());
    // A spray read back holds particles and says nothing; a refusal says why.
    if (set.ok != set.message.empty() || (set.ok && set.outcome.particles.empty())) __builtin_trap();
    return 0;
}
