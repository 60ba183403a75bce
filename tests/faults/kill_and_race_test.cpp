// The real torvex-run killed at random moments of the jet march, and started
// in pairs in one directory: the directory always holds one variant's files,
// as a whole set or as the new iop.par alone, never a mixture.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <thread>

#include "particles/spray_files.h"
#include "solver/file_set.h"
#include "tests/faults/run_process.h"

namespace torvex::faults {
namespace {

// What the directory holds after a run, compared with what it held before
// and with the complete set of the variant the run computed.
enum class SetState {
    Unchanged,       // the earlier files, as they were
    NewIopAlone,     // the new iop.par and no result file
    NewComplete,     // the new complete set
    EarlierPartial,  // killed while the earlier results were being removed
    NewPartial,      // killed while the new results were being put in place
    Mixed,           // anything else: a fault
};

bool within(const FileSet& files, const FileSet& set) {
    for (const auto& [name, text] : files) {
        const auto found = set.find(name);
        if (found == set.end() || found->second != text) return false;
    }
    return true;
}

SetState classify(const FileSet& before, const FileSet& after, const FileSet& fresh) {
    if (after == before) return SetState::Unchanged;
    FileSet results = after;
    results.erase("iop.par");
    const auto iop = after.find("iop.par");
    if (iop == after.end()) return SetState::Mixed;
    const bool marker = results.count("ztu0.res") != 0;
    if (iop->second == fresh.at("iop.par") && within(results, fresh)) {
        if (results.empty()) return SetState::NewIopAlone;
        if (after == fresh) return SetState::NewComplete;
        return marker ? SetState::Mixed : SetState::NewPartial;
    }
    const auto earlier = before.find("iop.par");
    if (earlier != before.end() && iop->second == earlier->second && within(results, before) && !marker)
        return SetState::EarlierPartial;
    return SetState::Mixed;
}

const char* nameOf(SetState state) {
    switch (state) {
        case SetState::Unchanged:
            return "unchanged";
        case SetState::NewIopAlone:
            return "new iop.par alone";
        case SetState::NewComplete:
            return "new complete set";
        case SetState::EarlierPartial:
            return "earlier set being removed";
        case SetState::NewPartial:
            return "new set being put in place";
        case SetState::Mixed:
            return "MIXED";
    }
    return "";
}

// The variant that differs from the one whose iop.par the directory holds.
char otherVariant(const FileSet& files) {
    const auto iop = files.find("iop.par");
    return iop != files.end() && iop->second == reference('A').outputs.at("iop.par") ? 'B' : 'A';
}

TEST(KillDuringTheJet, FiftyKillsLeaveTheEarlierSetTheNewIopParAloneOrTheNewSet) {
    const Reference& a = reference('A');
    reference('B');
    Sandbox box;
    ASSERT_EQ(runTorvexRun({variantArguments('A', box.work)}).status, 0);
    ASSERT_EQ(outputFiles(box.work), a.outputs);

    std::mt19937 random(20261208);
    int jetKills = 0, anyKills = 0, iopAlone = 0, attempts = 0;
    std::map<SetState, int> seen;
    while (jetKills < 50 && attempts < 400) {
        ++attempts;
        const FileSet before = outputFiles(box.work);
        const char variant = otherVariant(before);
        const Reference& fresh = reference(variant);
        // Most kills fall in the jet march (after the nozzle exit line);
        // every fifth at any moment of the run.
        const bool anyMoment = attempts % 5 == 0;
        Child child(Launch{variantArguments(variant, box.work)});
        if (!anyMoment) {
            ASSERT_TRUE(child.waitForOutput("Plasma jet outside", 60000)) << "no jet phase";
        }
        const long long span = anyMoment ? fresh.totalMs : fresh.jetMs;
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long long>(0, std::max(1LL, span) * 1000)(random)));
        child.kill();
        const Finished done = child.wait(60000);
        ASSERT_FALSE(done.timedOut);
        const FileSet after = outputFiles(box.work);
        const SetState state = classify(before, after, fresh.outputs);
        ++seen[state];
        ASSERT_NE(state, SetState::Mixed) << "attempt " << attempts << ": iop.par of variant "
                                          << (after.count("iop.par") ? after.at("iop.par") : "none")
                                          << " beside " << after.size() - 1 << " result files";
        if (!done.killed) {
            // The run ended before the kill: it must have completed.
            EXPECT_EQ(done.status, 0) << done.err;
            EXPECT_EQ(state, SetState::NewComplete);
            continue;
        }
        ++anyKills;
        if (!anyMoment) ++jetKills;
        if (!anyMoment && state == SetState::NewIopAlone) ++iopAlone;
    }
    for (const auto& [state, count] : seen) std::printf("  %-28s %d\n", nameOf(state), count);
    std::printf("  %d kills (%d in the jet march) in %d runs\n", anyKills, jetKills, attempts);
    EXPECT_GE(jetKills, 50);
    // Killed during the jet march, the new iop.par stands alone.
    EXPECT_GE(iopAlone, jetKills * 3 / 4);

    // The next run removes what the killed ones left and completes.
    const char last = otherVariant(outputFiles(box.work));
    ASSERT_EQ(runTorvexRun({variantArguments(last, box.work)}).status, 0);
    EXPECT_EQ(outputFiles(box.work), reference(last).outputs);
    EXPECT_EQ(temporaryFiles(box.work), 0);
    EXPECT_EQ(box.untouchedOutside(), "");
}

TEST(RunsStartedTogether, OneIsRefusedAndTheDirectoryHoldsTheOtherVariant) {
    const Reference& a = reference('A');
    const Reference& b = reference('B');
    Sandbox box;
    ASSERT_EQ(runTorvexRun({variantArguments('A', box.work)}).status, 0);
    const std::string work = std::filesystem::canonical(box.work).string();
    int refused = 0, sequential = 0;
    for (int pair = 0; pair < 20; ++pair) {
        const char first = pair % 2 == 0 ? 'A' : 'B';
        const char second = first == 'A' ? 'B' : 'A';
        StartGate gate;
        Child one(Launch{variantArguments(first, box.work), {}, &gate});
        Child two(Launch{variantArguments(second, box.work), {}, &gate});
        gate.open();
        const Finished f1 = one.wait(60000);
        const Finished f2 = two.wait(60000);
        ASSERT_TRUE(f1.exited && f2.exited) << "pair " << pair;
        const FileSet after = outputFiles(box.work);
        const std::string inputs = fileText(box.file("ip.dat"));
        if (f1.status == 0 && f2.status == 0) {
            // The first ended before the second began (a very busy machine).
            ++sequential;
            EXPECT_TRUE((after == a.outputs && inputs == a.inputs) ||
                        (after == b.outputs && inputs == b.inputs));
            continue;
        }
        const bool firstWon = f1.status == 0;
        const Finished& loser = firstWon ? f2 : f1;
        const Reference& winner = reference(firstWon ? first : second);
        EXPECT_EQ(firstWon ? f2.status : f1.status, 6) << "pair " << pair << ": " << loser.err;
        EXPECT_EQ(firstWon ? f1.status : f2.status, 0) << "pair " << pair;
        EXPECT_NE(loser.err.find("Another run is using the working directory " + work), std::string::npos)
            << loser.err;
        EXPECT_NE(loser.err.find("nothing was changed"), std::string::npos) << loser.err;
        EXPECT_TRUE(after == winner.outputs) << "pair " << pair << ": the files are not one variant's";
        EXPECT_EQ(inputs, winner.inputs) << "pair " << pair;
        ++refused;
    }
    std::printf("  %d pairs with one refused, %d ran one after the other\n", refused, sequential);
    EXPECT_GE(refused, 18);
    EXPECT_EQ(temporaryFiles(box.work), 0);
    EXPECT_EQ(box.untouchedOutside(), "");
}

// ----- the spray module over a jet that is being replaced ----------------------------

constexpr const char* kSprayOptions[] = {"--count", "60", "--threads", "1", "--seed"};

std::vector<std::string> sprayArguments(const std::string& dir, int seed = 3) {
    std::vector<std::string> arguments(std::begin(kSprayOptions), std::end(kSprayOptions));
    arguments.push_back(std::to_string(seed));
    arguments.push_back(dir);
    return arguments;
}

// particles.csv of an undisturbed spray of each variant's jet.
const std::string& undisturbedSpray(char variant) {
    static std::map<char, std::string> made;
    if (!made.count(variant)) {
        Sandbox box;
        runTorvexRun({variantArguments(variant, box.work)});
        const Finished done = runTorvexRun(kavelRun(sprayArguments(box.work)));
        made[variant] = done.status == 0 ? fileText(box.file("particles.csv")) : "no spray: " + done.err;
    }
    return made[variant];
}

std::string jetLine(char variant) {
    return variant == 'A' ? "Jet: argon 8.0 mm 500 A 35 SLPM" : "Jet: nitrogen 8.0 mm 300 A 40 SLPM";
}

// A spray after a run stopped at any moment: refused with a message saying
// why, or over the jet of the finished set with its own gas; never the gas of
// ip.dat over the jet of another variant.
TEST(SprayAfterAStoppedRun, RefusedOrTheGasOfTheSetNeverTheWrongOne) {
    undisturbedSpray('A');
    undisturbedSpray('B');
    Sandbox box;
    ASSERT_EQ(runTorvexRun({variantArguments('A', box.work)}).status, 0);
    std::mt19937 random(17);
    int tried = 0, refused = 0, sprayed = 0, fell = 0;
    for (int k = 0; k < 12; ++k) {
        const char variant = otherVariant(outputFiles(box.work));
        Child child(Launch{variantArguments(variant, box.work)});
        // Half stopped before the nozzle exit (ip.dat new, the set earlier),
        // half during the jet march.
        if (k % 2 == 1) child.waitForOutput("Plasma jet outside", 60000);
        const long long span = k % 2 == 1 ? reference(variant).jetMs : reference(variant).totalMs - reference(variant).jetMs;
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long long>(0, std::max(1LL, span) * 1000)(random)));
        child.kill();
        child.wait(60000);
        // The variant of the finished set, if there is one.
        const bool finished = std::filesystem::exists(box.file("results.stamp"));
        const char inSet = !finished ? '?' : otherVariant(outputFiles(box.work)) == 'B' ? 'A' : 'B';
        const Finished spray = runTorvexRun(kavelRun(sprayArguments(box.work)));
        ++tried;
        if (spray.status == 2 && (spray.err.find("incomplete (the run was interrupted)") != std::string::npos ||
                                  spray.err.find("not to the variant in ip.dat") != std::string::npos)) {
            ++refused;
        } else if (spray.status == 0 && inSet != '?' && spray.out.find(jetLine(inSet)) != std::string::npos &&
                   fileText(box.file("particles.csv")) == undisturbedSpray(inSet)) {
            ++sprayed;
        } else {
            ++fell;
            ADD_FAILURE() << "stop " << k << ": status " << spray.status << "\n" << spray.out << spray.err;
        }
    }
    std::printf("  stopped runs then kavel-run: %d tried, %d refused, %d sprayed the set's own jet, %d fell\n",
                tried, refused, sprayed, fell);
    EXPECT_EQ(fell, 0);
}

// kavel-run started together with torvex-run in one folder: refused (the
// folder is in use), or a spray of one finished jet byte for byte as an
// undisturbed spray of it.
TEST(SprayRacingASolverRun, RefusedOrByteForByteTheUndisturbedSprayOfOneJet) {
    undisturbedSpray('A');
    undisturbedSpray('B');
    Sandbox box;
    ASSERT_EQ(runTorvexRun({variantArguments('A', box.work)}).status, 0);
    int tried = 0, refused = 0, held = 0, fell = 0;
    for (int k = 0; k < 20; ++k) {
        const char variant = otherVariant(outputFiles(box.work));
        StartGate gate;
        Child solver(Launch{variantArguments(variant, box.work), {}, &gate});
        Child spray(kavelRun(sprayArguments(box.work), &gate));
        gate.open();
        const Finished s = spray.wait(60000);
        const Finished t = solver.wait(60000);
        ++tried;
        const std::string particles = fileText(box.file("particles.csv"));
        if (s.status == 6 && s.err.find("Another run is using the working directory") != std::string::npos) {
            ++refused;
        } else if (s.status == 0 && ((s.out.find(jetLine('A')) != std::string::npos && particles == undisturbedSpray('A')) ||
                                     (s.out.find(jetLine('B')) != std::string::npos && particles == undisturbedSpray('B')))) {
            ++held;
        } else {
            ++fell;
            ADD_FAILURE() << "race " << k << ": kavel-run " << s.status << " " << s.err << s.out << "; torvex-run "
                          << t.status;
        }
        EXPECT_TRUE(t.status == 0 || t.status == 6) << t.err;
    }
    std::printf("  kavel-run racing torvex-run: %d tried, %d refused (exit 6), %d sprayed one whole jet, %d fell\n",
                tried, refused, held, fell);
    EXPECT_EQ(fell, 0);
}

// kavel-run killed at random moments: the pair of outputs is the earlier or
// the new one, and spray.stamp vouches only for a whole pair.
TEST(KillDuringASpray, ThePairIsOldOrNewAndTheStampOnlyBesideAWholePair) {
    Sandbox box;
    ASSERT_EQ(runTorvexRun({variantArguments('A', box.work)}).status, 0);
    ASSERT_EQ(runTorvexRun(kavelRun(sprayArguments(box.work, 1))).status, 0);
    const long long start = nowMs();
    ASSERT_EQ(runTorvexRun(kavelRun(sprayArguments(box.work, 2))).status, 0);
    const long long sprayMs = nowMs() - start;
    const auto pair = [&box] {
        return std::make_pair(fileText(box.file("particles.csv")), fileText(box.file("trajectories.csv")));
    };
    std::map<int, std::pair<std::string, std::string>> bySeed;
    std::mt19937 random(5);
    int tried = 0, oldPair = 0, newPair = 0, unstamped = 0, unstampedMixed = 0, fell = 0;
    for (int k = 0; k < 24; ++k) {
        const int seed = 1 + k % 2;  // alternates, so that every run replaces a different pair
        const auto before = pair();
        Child child(kavelRun(sprayArguments(box.work, seed)));
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long long>(0, std::max(1LL, sprayMs) * 1000)(random)));
        child.kill();
        const Finished done = child.wait(60000);
        ++tried;
        const auto after = pair();
        if (!done.killed) bySeed[seed] = after;
        const bool stamped = std::filesystem::exists(box.file("spray.stamp"));
        // What a reader of the folder's last spray is given: a whole set or a refusal.
        const particles::SpraySet read = particles::readSpraySet(box.work);
        const bool vouched = read.ok;
        if (!read.ok && read.message.find("is unfinished") == std::string::npos &&
            read.message.find("is mixed") == std::string::npos)
            ADD_FAILURE() << "kill " << k << ": " << read.message;
        if (read.ok && particles::trajectoriesCsv(read.outcome.trajectories) != after.second)
            ADD_FAILURE() << "kill " << k << ": the spray read back is not the one in the folder";
        if (after == before && vouched) ++oldPair;
        else if (after != before && vouched && (!bySeed.count(seed) || bySeed[seed] == after)) ++newPair;
        else if (!stamped) {
            // Killed while replacing: recognisably unfinished; the pair
            // itself is mixed only between the two renames.
            ++unstamped;
            const bool sameParticles = after.first == before.first, sameTrajectories = after.second == before.second;
            unstampedMixed += sameParticles != sameTrajectories ? 1 : 0;
        }
        else {
            ++fell;
            ADD_FAILURE() << "kill " << k << ": a stamp beside a pair it does not vouch for";
        }
    }
    std::printf("  kills of kavel-run: %d tried, %d old pair, %d new pair, %d without spray.stamp (%d of them a "
                "mixed pair), %d fell\n", tried, oldPair, newPair, unstamped, unstampedMixed, fell);
    EXPECT_EQ(fell, 0);
    EXPECT_EQ(runTorvexRun(kavelRun(sprayArguments(box.work, 1))).status, 0);
    EXPECT_EQ(temporaryFiles(box.work), 0);
}

// ----- studies that meet a full disk, each other, or a folder in use --------------------

// Six argon variants (about 2.5 MB of variant folders).
constexpr const char* kSixVariants = "[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\n"
                                     "current = [500, 550, 600, 650, 700, 750]\nflow = 35\n";

Finished runStudy(const Sandbox& box, const std::string& out, const StartGate* gate = nullptr) {
    Child child(Launch{{"study", box.file("six.toml"), "--out", out, "--no-progress", "--jobs", "1"}, {}, gate});
    return child.wait(120000);
}

// The table of an undisturbed study, and its rows by status.
const std::string& undisturbedTable() {
    static std::string table;
    if (table.empty()) {
        Sandbox box;
        writeText(box.file("six.toml"), kSixVariants);
        runStudy(box, box.file("s"));
        table = fileText(box.file("s/study.csv"));
    }
    return table;
}

int rowsWith(const std::string& table, const std::string& status) {
    int count = 0;
    for (std::size_t at = table.find("," + status + ","); at != std::string::npos; at = table.find("," + status + ",", at + 1))
        ++count;
    return count;
}

int finishedRows(const std::string& out) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out + "/variants"))
        count += std::filesystem::exists(entry.path() / "variant-row.csv") ? 1 : 0;
    return count;
}

TEST(StudyFaults, AFullDiskEndsWithFiveAndTheResumeComputesTheFaultedRows) {
    ASSERT_EQ(rowsWith(undisturbedTable(), "completed"), 6);
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    Sandbox box;
    writeText(box.file("six.toml"), kSixVariants);
    const std::string disk = box.file("disk");
    std::filesystem::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1536k") != 0) GTEST_SKIP() << "no tmpfs mount here";
    const Finished full = runStudy(box, disk + "/s");
    const std::string table = fileText(disk + "/s/study.csv");
    EXPECT_EQ(full.status, 5) << full.out << full.err;
    EXPECT_GT(rowsWith(table, "output fault"), 0) << table;
    EXPECT_EQ(finishedRows(disk + "/s"), rowsWith(table, "completed"));
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    ASSERT_EQ(::mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT, "size=16m"), 0);
    const Finished resumed = runStudy(box, disk + "/s");
    EXPECT_EQ(resumed.status, 0) << resumed.out << resumed.err;
    EXPECT_EQ(fileText(disk + "/s/study.csv"), undisturbedTable());
    ::umount(disk.c_str());
}

TEST(StudyFaults, TwoStudiesInOneFolderLeaveEachOthersVariantsAloneAndTheResumeCompletes) {
    for (int pair = 0; pair < 3; ++pair) {
        Sandbox box;
        writeText(box.file("six.toml"), kSixVariants);
        StartGate gate;
        Child one(Launch{{"study", box.file("six.toml"), "--out", box.file("s"), "--no-progress", "--jobs", "1"}, {}, &gate});
        Child two(Launch{{"study", box.file("six.toml"), "--out", box.file("s"), "--no-progress", "--jobs", "1"}, {}, &gate});
        gate.open();
        for (const Finished& f : {one.wait(120000), two.wait(120000)}) {
            EXPECT_TRUE(f.status == 0 || f.status == 6) << f.out << f.err;
            EXPECT_EQ(rowsWith(fileText(box.file("s/study.csv")), "output fault"), 0);
        }
        const Finished alone = runStudy(box, box.file("s"));
        EXPECT_EQ(alone.status, 0) << alone.out << alone.err;
        EXPECT_EQ(fileText(box.file("s/study.csv")), undisturbedTable()) << "pair " << pair;
    }
}

TEST(StudyFaults, AVariantFolderLockedByAnotherProgramIsLeftUntouchedAndComputedOnResume) {
    Sandbox box;
    writeText(box.file("six.toml"), kSixVariants);
    ASSERT_EQ(runStudy(box, box.file("s")).status, 0);
    const std::string variant = box.file("s/variants/g01-d8.0mm-l14mm-i500A-f35slpm");
    std::filesystem::remove(variant + "/variant-row.csv");
    const FileSet before = allFiles(variant);
    {
        const int held = ::open((variant + "/.torvex.lock").c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        const Finished busy = runStudy(box, box.file("s"));
        ::close(held);
        EXPECT_EQ(busy.status, 6) << busy.out << busy.err;
        EXPECT_EQ(rowsWith(fileText(box.file("s/study.csv")), "folder in use"), 1);
        EXPECT_NE(busy.out.find("5 completed, 0 not calculable, 0 bad input, 1 folder in use"), std::string::npos)
            << busy.out;
    }
    EXPECT_EQ(allFiles(variant), before);
    const Finished resumed = runStudy(box, box.file("s"));
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_NE(resumed.out.find("(5 from an earlier run)"), std::string::npos) << resumed.out;
    EXPECT_EQ(fileText(box.file("s/study.csv")), undisturbedTable());
}

}  // namespace
}  // namespace torvex::faults
