#include "tests/faults/run_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace torvex::faults {

namespace fs = std::filesystem;

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// ----- StartGate ----------------------------------------------------------------

StartGate::StartGate() {
    if (::pipe2(ends_, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the start gate");
}

StartGate::~StartGate() {
    for (int& end : ends_)
        if (end >= 0) ::close(end);
}

void StartGate::open() {
    if (ends_[1] >= 0) ::close(ends_[1]);
    ends_[1] = -1;
}

// ----- Child ----------------------------------------------------------------------

namespace {

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeTorvexRun(const Launch& launch, int out, int err, char** argv) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (launch.gate) {
        ::close(launch.gate->writeEnd());
        char go = 0;
        while (::read(launch.gate->readEnd(), &go, 1) < 0 && errno == EINTR) {
        }
    }
    if (launch.asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
    ::execv(argv[0], argv);
    ::_exit(127);
}

}  // namespace

Child::Child(const Launch& launch) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    // Everything the child needs is prepared before the fork.
    std::vector<std::string> words = {launch.program};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = launch.environment;
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("cannot fork");
    if (pid_ == 0) {
        for (std::string& setting : environment) ::putenv(setting.data());
        becomeTorvexRun(launch, out[1], err[1], argv.data());
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
}

Child::~Child() {
    if (!reaped_) {
        kill();
        wait(10000);
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
}

void Child::pump(int timeoutMs) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0) return;
    int* ends[2] = {&out_, &err_};
    std::string* texts[2] = {&finished_.out, &finished_.err};
    for (int k = 0; k < 2; ++k) {
        if (*ends[k] < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char chunk[4096];
        const ssize_t got = ::read(*ends[k], chunk, sizeof chunk);
        if (got > 0) {
            texts[k]->append(chunk, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            ::close(*ends[k]);
            *ends[k] = -1;
        }
    }
}

bool Child::waitForOutput(const std::string& text, int timeoutMs) {
    const long long end = nowMs() + timeoutMs;
    while (finished_.out.find(text) == std::string::npos) {
        if (out_ < 0 || nowMs() >= end) return false;
        pump(static_cast<int>(std::max(1LL, end - nowMs())));
    }
    return true;
}

void Child::kill() {
    if (!reaped_ && pid_ > 0) ::kill(pid_, SIGKILL);
}

Finished Child::wait(int timeoutMs) {
    if (reaped_) return finished_;
    const long long end = nowMs() + timeoutMs;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (nowMs() >= end) {
            finished_.timedOut = true;
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        if (out_ >= 0 || err_ >= 0)
            pump(10);
        else
            ::usleep(2000);
    }
    reaped_ = true;
    while (out_ >= 0 || err_ >= 0) pump(100);
    if (!finished_.timedOut) {
        finished_.exited = WIFEXITED(status);
        finished_.status = finished_.exited ? WEXITSTATUS(status) : -1;
        finished_.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }
    return finished_;
}

Finished runTorvexRun(const Launch& launch, int timeoutMs) {
    Child child(launch);
    return child.wait(timeoutMs);
}

// ----- files ------------------------------------------------------------------------

const std::vector<std::string>& outputNames() {
    static const std::vector<std::string> names = {"iop.par",   "ilt.res",    "ztu0.res",
                                                   "rtu0.res",  "rtu5.res",   "rtu20.res",
                                                   "rtu50.res", "rtu100.res", "ftu.res"};
    return names;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

FileSet outputFiles(const std::string& dir) {
    FileSet files;
    for (const std::string& name : outputNames()) {
        const fs::path path = fs::path(dir) / name;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        if (!fs::exists(status)) continue;
        // A link or a special file is recorded as what it is, not read.
        files[name] =
            fs::is_regular_file(status) ? fileText(path.string()) : std::string("<not a regular file>");
    }
    return files;
}

Launch kavelRun(std::vector<std::string> arguments, const StartGate* gate) {
    arguments.insert(arguments.begin(), "--no-progress");
    Launch launch(std::move(arguments), {}, gate);
    launch.program = KAVEL_RUN_EXECUTABLE;
    return launch;
}

FileSet allFiles(const std::string& dir) {
    FileSet files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name != ".torvex.lock" && entry.is_regular_file()) files[name] = fileText(entry.path().string());
    }
    return files;
}

int temporaryFiles(const std::string& dir) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        count += entry.path().filename().string().rfind(".torvex-tmp.", 0) == 0 ? 1 : 0;
    return count;
}

// ----- Sandbox ------------------------------------------------------------------------

Sandbox::Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "torvex-faults-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    root = pattern;
    work = root + "/work";
    outside = root + "/outside.txt";
    fs::create_directory(work);
    writeText(outside, "not the run's\n");
}

Sandbox::~Sandbox() {
    std::error_code ignored;
    fs::permissions(work, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

std::string Sandbox::untouchedOutside(const std::vector<std::string>& allowed) const {
    if (fileText(outside) != "not the run's\n") return "outside.txt was changed";
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (name == "work" || name == "outside.txt") continue;
        bool expected = false;
        for (const std::string& a : allowed) expected = expected || a == name;
        if (!expected) return "a run created " + entry.path().string();
    }
    return {};
}

// ----- variants --------------------------------------------------------------------------

std::vector<std::string> variantArguments(char variant, const std::string& dir) {
    if (variant == 'A')
        return {"--gas", "1", "--diameter", "8", "--length", "14", "--current", "500", "--flow", "35", dir};
    return {"--gas", "2", "--diameter", "8", "--length", "14", "--current", "300", "--flow", "35", dir};
}

const Reference& reference(char variant) {
    static std::map<char, Reference> made;
    auto found = made.find(variant);
    if (found != made.end()) return found->second;
    Sandbox box;
    const Launch launch(variantArguments(variant, box.work));
    const long long start = nowMs();
    Child child(launch);
    child.waitForOutput("Plasma jet outside", 60000);
    const long long nozzle = nowMs();
    const Finished done = child.wait(60000);
    if (!done.exited || done.status != 0)
        throw std::runtime_error("the reference run of variant " + std::string(1, variant) +
                                 " failed: " + done.err);
    Reference r;
    r.outputs = outputFiles(box.work);
    r.inputs = fileText(box.file("ip.dat"));
    r.jetMs = nowMs() - nozzle;
    r.totalMs = nowMs() - start;
    return made.emplace(variant, r).first->second;
}

}  // namespace torvex::faults
