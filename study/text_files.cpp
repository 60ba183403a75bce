#include "study/text_files.h"

#include "solver/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace torvex {

namespace fs = std::filesystem;

std::string displayPath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) return path;
    std::string text = absolute.lexically_normal().string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool readBoundedTextFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& error) {
    const std::string shown = displayPath(path);
    // Opened without blocking, so a FIFO in its place cannot hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "The file " + shown + " cannot be opened: " + std::strerror(errno) + ".";
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = "The file " + shown + " is not a regular file.";
        return false;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        ::close(fd);
        error = "The file " + shown + " is larger than the " + std::to_string(maxBytes / 1024) +
                " KiB such a file can be.";
        return false;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = "The file " + shown + " cannot be read: " + std::strerror(errno) + ".";
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > maxBytes) {  // grew while being read
            ::close(fd);
            error = "The file " + shown + " is larger than such a file can be.";
            return false;
        }
    }
    ::close(fd);
    text = std::move(content);
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    std::string fault;
    if (replaceFile(path, text, fault)) return true;
    error = "The file " + displayPath(path) + " " + fault + ".";
    return false;
}

}  // namespace torvex
