// How the program touches the files of a working directory: readers that
// accept only regular files of a bounded size, writers that put a file in
// place by renaming a flushed temporary file (so a symbolic link at the
// destination is replaced, never followed, and a reader never sees half a
// file), and the lock that lets one run at a time use a directory.
//
// This is the one place where the solver calls the operating system
// directly (POSIX: open, flock, fsync, rename); the standard library has no
// file locks and no way to push a file to disk.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace torvex {

// Size limits of the readers. The input files hold a line or two; a gas
// table is 54 lines of 80 columns; a result file read by the charts holds at
// most a few hundred short records.
constexpr std::size_t kSmallFileLimit = 4096;
constexpr std::size_t kGasFileLimit = 65536;
constexpr std::size_t kResultFileLimit = 1048576;

// A path as a full path without "." or ".." components or a trailing "/",
// for naming a file or folder in messages ("/home/a/study", never ".").
std::string displayPath(const std::string& path);

// The same for a directory (the current directory for ""), for opening its
// files and naming them in messages.
std::string absoluteDirectory(const std::string& dir);

// Reads a whole regular file of at most maxBytes into text. A symbolic link
// to a regular file is followed; a FIFO, device, socket or directory is
// refused without blocking. On failure `fault` completes a sentence that
// starts with the file's name: "is missing", "is not a regular file", ...
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text, std::string& fault);

// The lines of a text, without their line ends ("\n" or "\r\n").
std::vector<std::string> splitLines(const std::string& text);

// A file written under a temporary name in the destination's directory and
// renamed onto the destination once it is complete and flushed to disk.
// Destroying it before commit() removes the temporary file.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile() { discard(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file for `path`; false (with the reason in
    // fault) when the directory does not allow it or the destination is a
    // directory, which a rename could not replace.
    bool create(const std::string& path, std::string& fault);
    bool isOpen() const { return descriptor_ >= 0; }
    const std::string& path() const { return path_; }

    // Adds text; it reaches the temporary file in large pieces.
    void append(const std::string& text);
    // Writes what is left, flushes the file to disk and closes it; false
    // when any write failed (a full disk, a file size limit).
    bool finish(std::string& fault);
    // Renames the finished temporary file onto the destination.
    bool commit(std::string& fault);
    // Removes the temporary file (nothing happens after commit()).
    void discard();

private:
    void writeBuffer();

    std::string path_;
    std::string temporary_;
    std::string buffer_;
    int descriptor_ = -1;
    int writeError_ = 0;  // errno of the first failed write
    bool finished_ = false;
};

// The system's error and the file of the last write, rename, removal or
// flush that failed on this thread: what a caller that reports a fault as
// data (Python's OSError) needs beside the sentence.
struct WriteFault {
    int error = 0;  // errno; 0 when nothing failed
    std::string path;
};
const WriteFault& lastWriteFault();
void clearWriteFault();

// Writes a whole file through a ReplacementFile and makes the rename durable.
bool replaceFile(const std::string& path, const std::string& text, std::string& fault);

// Flushes the directory's entries (renames, removals) to disk.
bool syncDirectory(const std::string& dir, std::string& fault);

// Removes the entry `path` if there is one (a link is removed, not its
// target); a directory there is not removed and gives false.
bool removeEntry(const std::string& path, std::string& fault);

// Whether `path` names a directory (a link is not followed).
bool isDirectoryEntry(const std::string& path);

// Removes the temporary files a killed run left in dir (those of the unit
// files excepted, which the desktop program writes outside runs). Only while
// holding the directory's lock, when no other run can be writing them.
void removeLeftTemporaryFiles(const std::string& dir);

// The file whose advisory lock marks a directory as in use by a run.
constexpr const char* kLockFileName = ".torvex.lock";

// How a program uses a working directory: a run that writes there holds it
// alone; programs that only read a result set share it with each other, so
// that no run replaces the files while they are read.
enum class LockMode { Exclusive, Shared };

// A lock on a working directory (exclusive or shared), taken without waiting
// and held until destruction. The lock belongs to an open file, so the system drops it
// when the process ends, however it ends: a killed run leaves no stale lock.
class WorkDirLock {
public:
    enum class Status {
        Held,
        Busy,         // another run holds the directory
        NoDirectory,  // the path is missing or not a directory
        CannotLock,   // the lock file cannot be created or opened
    };

    explicit WorkDirLock(const std::string& dir, LockMode mode = LockMode::Exclusive);
    ~WorkDirLock();
    WorkDirLock(const WorkDirLock&) = delete;
    WorkDirLock& operator=(const WorkDirLock&) = delete;

    Status status() const { return status_; }
    bool held() const { return status_ == Status::Held; }
    // The directory as a full path.
    const std::string& directory() const { return directory_; }
    // One sentence for the user when the lock is not held.
    const std::string& message() const { return message_; }

private:
    std::string directory_;
    std::string message_;
    Status status_ = Status::CannotLock;
    int descriptor_ = -1;
};

}  // namespace torvex
