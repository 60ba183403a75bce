#include "solver/file_set.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

namespace torvex {

namespace {

std::string pathIn(const std::string& dir, const std::string& name) { return dir + "/" + name; }

std::string fileFault(const std::string& path, const std::string& why) {
    return "The file " + path + " " + why + ".";
}

bool parseUnsigned(const std::string& text, int base, std::uint64_t& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

// The words of a line separated by single or repeated blanks.
std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while ((start = line.find_first_not_of(' ', start)) != std::string::npos) {
        const std::size_t end = line.find(' ', start);
        words.push_back(line.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end;
    }
    return words;
}

}  // namespace

std::uint64_t contentChecksum(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string checksumText(std::uint64_t checksum) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(checksum));
    return digits;
}

std::string stampLine(const std::string& name, const std::string& text) {
    return "file " + name + " " + std::to_string(text.size()) + " " + checksumText(contentChecksum(text));
}

namespace {

constexpr const char* kCheckWord = "check ";

}  // namespace

std::string stampText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text + kCheckWord + checksumText(contentChecksum(text)) + "\n";
}

bool checkReplaceable(const std::string& dir, const std::vector<std::string>& names, std::string& fault) {
    for (const std::string& name : names) {
        ReplacementFile probe;  // its temporary file is removed again at once
        std::string why;
        if (!probe.create(pathIn(dir, name), why)) {
            fault = fileFault(pathIn(dir, name), why);
            return false;
        }
    }
    return true;
}

bool replaceFileSet(const std::string& dir, const std::vector<SetMember>& members, const std::string& stampName,
                    const std::vector<std::string>& header, std::string& fault) {
    std::vector<std::unique_ptr<ReplacementFile>> files;
    ReplacementFile stamp;
    std::string why;
    if (!stamp.create(pathIn(dir, stampName), why)) {
        fault = fileFault(pathIn(dir, stampName), why);
        return false;
    }
    std::vector<std::string> lines = header;
    for (const SetMember& member : members) {
        files.push_back(std::make_unique<ReplacementFile>());
        if (!files.back()->create(pathIn(dir, member.name), why)) {
            fault = fileFault(pathIn(dir, member.name), why);
            return false;
        }
        files.back()->append(member.text);
        lines.push_back(stampLine(member.name, member.text));
    }
    // Every member whole on disk before the first takes its name.
    for (const auto& file : files)
        if (!file->finish(why)) {
            fault = fileFault(file->path(), why);
            return false;
        }
    if (!removeEntry(pathIn(dir, stampName), why) || !syncDirectory(dir, why)) {
        fault = fileFault(pathIn(dir, stampName), why);
        return false;
    }
    for (const auto& file : files)
        if (!file->commit(why)) {
            fault = fileFault(file->path(), why);
            return false;
        }
    stamp.append(stampText(lines));
    if (!syncDirectory(dir, why) || !stamp.commit(why) || !syncDirectory(dir, why)) {
        fault = fileFault(pathIn(dir, stampName), why);
        return false;
    }
    return true;
}

bool readFileSetStamp(const std::string& dir, const std::string& stampName, FileSetStamp& stamp,
                      std::string& fault, const std::string& remedy, std::size_t maxBytes) {
    const std::string path = pathIn(dir, stampName);
    std::string text, why;
    if (!readRegularFile(path, maxBytes, text, why)) {
        fault = fileFault(path, why);
        return false;
    }
    // The closing line vouches for every byte before it.
    const std::size_t closing = text.size() < 2 ? 0 : text.rfind('\n', text.size() - 2) + 1;
    const std::string last = text.substr(closing);
    std::uint64_t checksum = 0;
    if (last.rfind(kCheckWord, 0) != 0 || last.back() != '\n') {
        fault = fileFault(path, "carries no checksum of its own lines (an earlier version of the program wrote "
                                "it); " + remedy);
        return false;
    }
    const std::string digits = last.substr(std::strlen(kCheckWord), last.size() - std::strlen(kCheckWord) - 1);
    if (!parseUnsigned(digits, 16, checksum) || checksum != contentChecksum(text.substr(0, closing))) {
        fault = fileFault(path, "was changed after it was written (its lines do not match its own checksum); " +
                                    remedy);
        return false;
    }
    FileSetStamp read;
    for (const std::string& line : splitLines(text.substr(0, closing))) {
        if (line.rfind("file ", 0) != 0) {
            read.header.push_back(line);
            continue;
        }
        const std::vector<std::string> words = wordsOf(line);
        FileSetStamp::Member member;
        if (words.size() != 4 || !parseUnsigned(words[2], 10, member.size) ||
            !parseUnsigned(words[3], 16, member.checksum)) {
            fault = fileFault(path, "holds the damaged line \"" + line.substr(0, 80) + "\"");
            return false;
        }
        member.name = words[1];
        read.members.push_back(member);
    }
    stamp = std::move(read);
    return true;
}

std::string firstStrayMember(const std::string& dir, const FileSetStamp& stamp, std::size_t maxBytes) {
    for (const FileSetStamp::Member& member : stamp.members) {
        std::string text, why;
        if (!readRegularFile(pathIn(dir, member.name), maxBytes, text, why) || text.size() != member.size ||
            contentChecksum(text) != member.checksum)
            return member.name;
    }
    return "";
}

}  // namespace torvex
