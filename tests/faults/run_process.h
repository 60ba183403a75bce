// The real torvex-run as a child process: started with its output in pipes,
// optionally held at a start gate (so that two start together) or run as an
// unprivileged user, watched for a line of output, killed, and waited for
// with a time limit (a hang is a failure, not a stuck test).
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace torvex::faults {

// How a child ended.
struct Finished {
    bool exited = false;  // by exit(); status holds its exit status
    int status = -1;
    bool killed = false;  // by SIGKILL
    bool timedOut = false;
    std::string out, err;
};

// Both ends of a pipe that holds children until its write end is closed.
class StartGate {
public:
    StartGate();
    ~StartGate();
    StartGate(const StartGate&) = delete;
    StartGate& operator=(const StartGate&) = delete;
    void open();  // lets every child waiting at the gate go
    int readEnd() const { return ends_[0]; }
    int writeEnd() const { return ends_[1]; }

private:
    int ends_[2] = {-1, -1};
};

struct Launch {
    Launch(std::vector<std::string> arguments, std::vector<std::string> environment = {},
           const StartGate* gate = nullptr, bool asNobody = false)
        : arguments(std::move(arguments)),
          environment(std::move(environment)),
          gate(gate),
          asNobody(asNobody) {}
    std::vector<std::string> arguments;    // after the executable's name
    std::vector<std::string> environment;  // NAME=VALUE set in the child
    const StartGate* gate = nullptr;
    bool asNobody = false;  // as user and group 65534 (permissions bind root too)
    std::string program = TORVEX_RUN_EXECUTABLE;
};

// kavel-run with these arguments (the spray of the jet in a directory).
Launch kavelRun(std::vector<std::string> arguments, const StartGate* gate = nullptr);

class Child {
public:
    explicit Child(const Launch& launch);
    // Kills and reaps a child still running.
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads the output until stdout holds `text` (true), the child closes
    // its output, or the time is up.
    bool waitForOutput(const std::string& text, int timeoutMs);
    void kill();
    Finished wait(int timeoutMs);

private:
    void pump(int timeoutMs);

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    Finished finished_;
    bool reaped_ = false;
};

// Runs torvex-run to its end (at most timeoutMs).
Finished runTorvexRun(const Launch& launch, int timeoutMs = 60000);

// Milliseconds on a steady clock.
long long nowMs();

// The nine output files of a run present in dir, with their contents.
using FileSet = std::map<std::string, std::string>;
FileSet outputFiles(const std::string& dir);
const std::vector<std::string>& outputNames();
// Hidden temporary files of the writers in dir.
int temporaryFiles(const std::string& dir);
// Every regular file in dir (the lock file excepted) with its contents: what
// a refusal must leave byte for byte as it was.
FileSet allFiles(const std::string& dir);
// Whole contents of a file ("" if missing).
std::string fileText(const std::string& path);
void writeText(const std::string& path, const std::string& text);

// A test directory: a working directory "work" and a file "outside.txt"
// beside it that no run may touch.
struct Sandbox {
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
    std::string root, work, outside;
    std::string file(const std::string& name) const { return work + "/" + name; }
    // Nothing but work, outside.txt (unchanged) and `allowed` in the root.
    std::string untouchedOutside(const std::vector<std::string>& allowed = {}) const;
};

// The arguments that write and run a variant: argon 8 mm, 14 mm, 500 A,
// 35 SLPM (A) or nitrogen 8 mm, 14 mm, 300 A, 35 SLPM (B).
std::vector<std::string> variantArguments(char variant, const std::string& dir);

// A finished run of a variant in a directory of its own: its outputs and
// ip.dat, and how long the jet march took after the nozzle exit.
struct Reference {
    FileSet outputs;
    std::string inputs;  // ip.dat
    long long jetMs = 0;
    long long totalMs = 0;
};
const Reference& reference(char variant);

}  // namespace torvex::faults
