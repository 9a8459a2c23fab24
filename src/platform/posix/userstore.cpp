#include "platform/userstore.h"

#include "platform/files.h"
#include "platform/folders.h"

#include <cerrno>
#include <string_view>
#include <vector>

// The store is one text file in regedit's export form, so the same record can
// be read by any reader of .reg files:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Olvadi\Quillbox\Stampwell]
//   "Version"="3.01.00"
//
// Names compare without regard to case, as in the registry. Lines this code
// does not understand (other value types, continuation lines) are kept as they are.
namespace stampwell::platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\";

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Reads a quoted text at line[pos]; pos ends after the closing quote.
std::optional<std::string> Unquoted(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            text += line[++i];
        } else if (line[i] == '"') {
            pos = i + 1;
            return text;
        } else {
            text += line[i];
        }
    }
    return std::nullopt;
}

// The file as lines without their line ends, and the line end it uses.
struct RegFile {
    std::vector<std::string> lines;
    std::string lineEnd = "\n";
};

RegFile Split(std::string_view text) {
    RegFile file;
    const std::size_t firstBreak = text.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
        file.lineEnd = "\r\n";
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        file.lines.emplace_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return file;
}

std::string Join(const RegFile& file) {
    std::string text;
    for (const auto& line : file.lines)
        text += line + file.lineEnd;
    return text;
}

// The key a "[...]" line opens, or nothing for any other line.
std::optional<std::string_view> KeyOfLine(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

bool IsKeyLine(std::string_view line, std::string_view key) {
    const auto name = KeyOfLine(line);
    return name && SameName(*name, std::string(kRoot) + std::string(key));
}

// The value name of a "Name"=... line.
std::optional<std::string> ValueNameOfLine(std::string_view line) {
    std::size_t pos = 0;
    auto name = Unquoted(line, pos);
    if (!name || pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    return name;
}

// The first and one-past-last line index of a key's block ("[key]" line included).
std::optional<std::pair<std::size_t, std::size_t>> FindBlock(const RegFile& file,
                                                             std::string_view key) {
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        if (!IsKeyLine(file.lines[i], key))
            continue;
        std::size_t end = i + 1;
        while (end < file.lines.size() && !KeyOfLine(file.lines[end]))
            ++end;
        return std::pair{i, end};
    }
    return std::nullopt;
}

SysError Load(RegFile& file) {
    std::string bytes;
    const SysError error = ReadSettingsFile(UserStoreFile(), bytes);
    if (error.Failed() && error.code != ENOENT)
        return error;
    file = Split(bytes);
    if (file.lines.empty())
        file.lines = {std::string(kHeader), ""};
    return {};
}

} // namespace

std::string UserStoreFile() {
    const std::string folder = AppDataFolder();
    return folder.empty() ? std::string() : folder + "/Quillbox/registry.reg";
}

SysError WriteUserString(const std::string& key, const std::string& name,
                         const std::string& value) {
    if (UserStoreFile().empty())
        return MakeSysError(ENOENT);
    if (key.find_first_of("[]\r\n") != std::string::npos ||
        (name + value).find_first_of("\r\n") != std::string::npos)
        return MakeSysError(EINVAL);
    RegFile file;
    if (const SysError error = Load(file); error.Failed())
        return error;

    const std::string valueLine = Quoted(name) + "=" + Quoted(value);
    if (const auto block = FindBlock(file, key)) {
        auto [begin, end] = *block;
        std::size_t insertAt = begin + 1;
        for (std::size_t i = begin + 1; i < end; ++i) {
            const auto lineName = ValueNameOfLine(file.lines[i]);
            if (lineName && SameName(*lineName, name)) {
                file.lines[i] = valueLine;
                insertAt = 0;
                break;
            }
            if (!file.lines[i].empty())
                insertAt = i + 1;
        }
        if (insertAt != 0)
            file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                              valueLine);
    } else {
        if (!file.lines.back().empty())
            file.lines.emplace_back();
        file.lines.push_back("[" + std::string(kRoot) + key + "]");
        file.lines.push_back(valueLine);
        file.lines.emplace_back();
    }

    const std::string path = UserStoreFile();
    const std::string folder = path.substr(0, path.rfind('/'));
    if (const SysError error = CreateFolderPath(folder); error.Failed())
        return error;
    return WriteFileAtomically(path, Join(file));
}

std::optional<std::string> ReadUserString(const std::string& key, const std::string& name) {
    RegFile file;
    if (UserStoreFile().empty() || Load(file).Failed())
        return std::nullopt;
    const auto block = FindBlock(file, key);
    if (!block)
        return std::nullopt;
    for (std::size_t i = block->first + 1; i < block->second; ++i) {
        const std::string_view line = file.lines[i];
        std::size_t pos = 0;
        const auto lineName = Unquoted(line, pos);
        if (!lineName || !SameName(*lineName, name) || pos >= line.size() || line[pos] != '=')
            continue;
        ++pos;
        return Unquoted(line, pos);
    }
    return std::nullopt;
}

SysError RemoveUserKey(const std::string& key) {
    RegFile file;
    if (UserStoreFile().empty())
        return MakeSysError(ENOENT);
    if (const SysError error = Load(file); error.Failed())
        return error;
    bool changed = false;
    // The key's own block and those of its sub-keys; a block takes its trailing blank line along.
    for (std::size_t i = 0; i < file.lines.size();) {
        const auto lineKey = KeyOfLine(file.lines[i]);
        const std::string own = std::string(kRoot) + key;
        const bool match =
            lineKey && (SameName(*lineKey, own) ||
                        (lineKey->size() > own.size() && lineKey->at(own.size()) == '\\' &&
                         SameName(lineKey->substr(0, own.size()), own)));
        if (!match) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < file.lines.size() && !KeyOfLine(file.lines[end]))
            ++end;
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(i),
                         file.lines.begin() + static_cast<std::ptrdiff_t>(end));
        changed = true;
    }
    return changed ? WriteFileAtomically(UserStoreFile(), Join(file)) : SysError{};
}

} // namespace stampwell::platform
