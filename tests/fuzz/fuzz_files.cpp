#include "tests/fuzz/fuzz_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace torvex::fuzz {

namespace fs = std::filesystem;

namespace {

// The folder and its removal at the end of the process.
class ScratchFolder {
public:
    ScratchFolder() {
        // In memory where the system offers it: the targets write a file per input.
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "torvex-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

const std::string& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path();
}

std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

std::string writeScratchFile(const std::string& name, const std::string& text) {
    return writeScratchFile(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void removeScratchFile(const std::string& name) {
    std::error_code ignored;
    fs::remove(scratchFolder() + "/" + name, ignored);
}

std::vector<std::string> splitAtFormFeeds(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> pieces(1);
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == '\f') pieces.emplace_back();
        else pieces.back().push_back(static_cast<char>(data[k]));
    }
    return pieces;
}

}  // namespace torvex::fuzz
