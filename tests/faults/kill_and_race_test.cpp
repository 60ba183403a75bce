// The real torvex-run killed at random moments of the jet march, and started
// in pairs in one directory: the directory always holds one variant's files,
// as a whole set or as the new iop.par alone, never a mixture.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

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

}  // namespace
}  // namespace torvex::faults
