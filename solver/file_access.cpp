#include "solver/file_access.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace torvex {

namespace {

namespace fs = std::filesystem;

// Temporary files are hidden, carry this prefix and the destination's name.
constexpr const char* kTemporaryPrefix = ".torvex-tmp.";
constexpr std::size_t kWriteChunk = 65536;

std::string systemReason(int error) { return std::strerror(error); }

thread_local WriteFault lastFault;

void noteWriteFault(int error, const std::string& path) { lastFault = {error, path}; }

std::string parentOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// What kind of thing a path that is not a regular file names.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string openFault(const std::string& path, int error) {
    if (error == ENOENT) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0) return "is a link to a file that does not exist";
        return "is missing";
    }
    return "cannot be opened: " + systemReason(error);
}

// A name no other file in the directory has, for the temporary of `name`.
std::string temporaryName(const std::string& dir, const std::string& name) {
    static std::atomic<unsigned long> counter{0};
    const auto ticks =
        static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned long unique =
        ticks ^ (static_cast<unsigned long>(::getpid()) << 20) ^ (counter++ * 7919UL);
    return dir + "/" + kTemporaryPrefix + name + "." + std::to_string(unique % 100000000UL);
}

bool writeAll(int descriptor, const char* data, std::size_t size, int& error) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

const WriteFault& lastWriteFault() { return lastFault; }
void clearWriteFault() { lastFault = {}; }

std::string displayPath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path.empty() ? fs::path(".") : fs::path(path), error);
    if (error) return path;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::string absoluteDirectory(const std::string& dir) { return displayPath(dir); }

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text, std::string& fault) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        fault = openFault(path, errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(descriptor, &info) == 0;
    if (!ok)
        fault = "cannot be read: " + systemReason(errno);
    else if (!S_ISREG(info.st_mode)) {
        fault = "is " + kindOf(info.st_mode) + ", not a regular file";
        ok = false;
    }
    const std::string tooLarge = "is larger than " + std::to_string(maxBytes) + " bytes";
    if (ok && static_cast<unsigned long long>(info.st_size) > maxBytes) {
        fault = tooLarge;
        ok = false;
    }
    std::string read;
    char chunk[8192];
    while (ok) {
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            fault = "cannot be read: " + systemReason(errno);
            ok = false;
        } else if (got == 0) {
            break;
        } else if (read.size() + static_cast<std::size_t>(got) > maxBytes) {
            fault = tooLarge;  // it grew while being read
            ok = false;
        } else {
            read.append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(descriptor);
    if (ok) text = std::move(read);
    return ok;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// ----- ReplacementFile ----------------------------------------------------------

bool ReplacementFile::create(const std::string& path, std::string& fault) {
    discard();
    path_ = path;
    if (isDirectoryEntry(path)) {
        fault = "is a directory, which a file cannot replace";
        noteWriteFault(EISDIR, path);
        return false;
    }
    const std::string dir = parentOf(path);
    const std::string name = fs::path(path).filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = temporaryName(dir, name);
        descriptor_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (descriptor_ >= 0) {
            temporary_ = candidate;
            buffer_.clear();
            writeError_ = 0;
            finished_ = false;
            return true;
        }
        if (errno != EEXIST) break;
    }
    const int error = errno;
    noteWriteFault(error, path);
    fault = "cannot be written: " + systemReason(error) + " (no file can be created in " + dir + ")";
    return false;
}

void ReplacementFile::append(const std::string& text) {
    if (descriptor_ < 0 || writeError_ != 0) return;
    buffer_ += text;
    if (buffer_.size() >= kWriteChunk) writeBuffer();
}

void ReplacementFile::writeBuffer() {
    if (descriptor_ >= 0 && writeError_ == 0)
        writeAll(descriptor_, buffer_.data(), buffer_.size(), writeError_);
    buffer_.clear();
}

bool ReplacementFile::finish(std::string& fault) {
    if (finished_) return writeError_ == 0;
    if (descriptor_ < 0) {
        fault = "was never opened";
        return false;
    }
    writeBuffer();
    if (writeError_ == 0 && ::fsync(descriptor_) != 0) writeError_ = errno;
    if (::close(descriptor_) != 0 && writeError_ == 0) writeError_ = errno;
    descriptor_ = -1;
    finished_ = true;
    if (writeError_ != 0) {
        noteWriteFault(writeError_, path_);
        fault = "cannot be written: " + systemReason(writeError_);
    }
    return writeError_ == 0;
}

bool ReplacementFile::commit(std::string& fault) {
    if (!finish(fault)) return false;
    // rename() replaces whatever non-directory the destination names, a
    // symbolic link included, and never writes through it.
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        noteWriteFault(error, path_);
        fault = "cannot be put in place: " + systemReason(error);
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacementFile::discard() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    buffer_.clear();
}

bool replaceFile(const std::string& path, const std::string& text, std::string& fault) {
    ReplacementFile file;
    if (!file.create(path, fault)) return false;
    file.append(text);
    return file.commit(fault) && syncDirectory(parentOf(path), fault);
}

bool syncDirectory(const std::string& dir, std::string& fault) {
    const int descriptor = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        noteWriteFault(error, dir);
        fault = "cannot be synchronised: " + systemReason(error);
        return false;
    }
    // Some file systems cannot flush a directory (EINVAL); their renames are
    // as durable as they get.
    const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL;
    if (!synced) {
        const int error = errno;
        noteWriteFault(error, dir);
        fault = "cannot be synchronised: " + systemReason(error);
    }
    ::close(descriptor);
    return synced;
}

bool removeEntry(const std::string& path, std::string& fault) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    const int error = errno;
    noteWriteFault(error, path);
    fault = error == EISDIR || isDirectoryEntry(path)
                ? std::string("is a directory, which a file cannot replace")
                : "cannot be removed: " + systemReason(error);
    return false;
}

bool isDirectoryEntry(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {

// The unit files are written by the desktop program whenever the units
// change, not by a run and not under the lock: their temporary files may be
// in use at any moment.
bool writtenOutsideRuns(const std::string& temporary) {
    for (const char* name : {"un.dat.", "unp.dat."})
        if (temporary.compare(std::strlen(kTemporaryPrefix), std::strlen(name), name) == 0) return true;
    return false;
}

}  // namespace

void removeLeftTemporaryFiles(const std::string& dir) {
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kTemporaryPrefix, 0) != 0 || writtenOutsideRuns(name)) continue;
        std::error_code kind;
        if (fs::is_regular_file(it->symlink_status(kind))) fs::remove(it->path(), kind);
    }
}

// ----- WorkDirLock --------------------------------------------------------------

namespace {

bool isSymbolicLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// A symbolic link at the lock file's name (left by a user or a copying tool)
// would make the folder unusable: it is removed, never followed. Runs never
// replace a plain lock file, so only another run repairing the same link
// could race with this one; the short lock on the directory itself keeps two
// repairs from removing a plain lock file that the other has just created.
// Returns 0, or the error that kept the link in place.
int removeLinkAtLock(const std::string& directory, const std::string& path) {
    const int folder = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return errno;
    int error = 0;
    while (::flock(folder, LOCK_EX) != 0)
        if (errno != EINTR) {
            error = errno;
            break;
        }
    if (error == 0 && isSymbolicLink(path) && ::unlink(path.c_str()) != 0) error = errno;
    ::close(folder);  // drops the directory's lock
    return error;
}

// A path the system refuses for its length (ENAMETOOLONG), named by its
// beginning: the whole would bury the message.
std::string pathTooLong(const std::string& path) {
    constexpr std::size_t kShown = 60;
    return "The working directory " + (path.size() > kShown ? path.substr(0, kShown) + "..." : path) +
           " cannot be used: path too long (" + std::to_string(path.size()) +
           " bytes; the system takes at most " + std::to_string(PATH_MAX - 1) + ", and at most " +
           std::to_string(NAME_MAX) + " in one name).";
}

}  // namespace

WorkDirLock::WorkDirLock(const std::string& dir, LockMode mode) : directory_(absoluteDirectory(dir)) {
    struct stat info {};
    if (::stat(directory_.c_str(), &info) != 0) {
        status_ = Status::NoDirectory;
        message_ = errno == ENAMETOOLONG ? pathTooLong(directory_) : "The working directory " + directory_ + " does not exist.";
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        status_ = Status::NoDirectory;
        message_ = "The working directory " + directory_ + " is not a directory.";
        return;
    }
    const std::string path = directory_ + "/" + kLockFileName;
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
    if (descriptor_ < 0 && errno == ELOOP) {
        if (const int error = removeLinkAtLock(directory_, path)) {
            message_ = "The lock file " + path + " is a symbolic link that cannot be removed (" + systemReason(error) +
                       "); remove it (rm " + path + ") and run again.";
            return;
        }
        descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
    }
    // In a directory that allows no writing an existing lock file still locks.
    if (descriptor_ < 0 && (errno == EACCES || errno == EROFS)) {
        const int createError = errno;
        descriptor_ = ::open(path.c_str(), O_RDONLY | flags);
        if (descriptor_ < 0) errno = createError;
    }
    if (descriptor_ < 0) {
        message_ = errno == ELOOP
                       ? "The lock file " + path + " is a symbolic link; a run needs a plain file there."
                       : "The lock file " + path + " cannot be created: " + systemReason(errno) + ".";
        return;
    }
    if (::fstat(descriptor_, &info) != 0 || !S_ISREG(info.st_mode)) {
        message_ = "The lock file " + path + " is not a regular file.";
        return;
    }
    const int operation = mode == LockMode::Shared ? LOCK_SH : LOCK_EX;
    while (::flock(descriptor_, operation | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) {
            status_ = Status::Busy;
            message_ = mode == LockMode::Shared
                           ? "A run is writing the results in the working directory " + directory_ +
                                 " (it holds the lock on " + kLockFileName + "); try again when it has ended."
                           : "Another run is using the working directory " + directory_ +
                                 " (it holds the lock on " + kLockFileName + "); nothing was changed.";
        } else {
            message_ = "The lock file " + path + " cannot be locked: " + systemReason(errno) + ".";
        }
        return;
    }
    status_ = Status::Held;
}

WorkDirLock::~WorkDirLock() {
    if (descriptor_ >= 0) ::close(descriptor_);  // drops the lock
}

}  // namespace torvex
