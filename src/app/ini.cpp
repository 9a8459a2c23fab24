#include "app/ini.h"

#include "app/textcodec.h"
#include "platform/files.h"

#include <map>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace stampwell::app {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// One line of the text: where its content lies and where the next line begins.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;  // content end, before CR / LF
    std::size_t next = 0; // after the line break
};

// CR LF, LF and a lone CR all end a line.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line{pos, pos, pos};
        while (line.end < text.size() && text[line.end] != '\n' && text[line.end] != '\r')
            ++line.end;
        line.next = line.end;
        if (line.next < text.size() && text[line.next] == '\r')
            ++line.next;
        if (line.next < text.size() && text[line.next] == '\n' &&
            (line.next == line.end || text[line.next - 1] == '\r'))
            ++line.next;
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

enum class Kind { Other, Section, Key };

// What a line holds: a section header with its name, a key with its name and
// where its value starts, or something else (blank, comment, text without '=').
struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::size_t valueStart = 0; // offset in the line's content, after "=" and blanks
};

Parsed Parse(std::string_view content) {
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == ';')
        return {};
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos)
            return {Kind::Section, Trim(trimmed.substr(1, close - 1)), 0};
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
        return {};
    const std::string_view name = Trim(content.substr(0, equals));
    if (name.empty())
        return {};
    std::size_t valueStart = equals + 1;
    while (valueStart < content.size() &&
           kBlanks.find(content[valueStart]) != std::string_view::npos)
        ++valueStart;
    return {Kind::Key, name, valueStart};
}

std::string_view Content(std::string_view text, const Line& line) {
    std::string_view content = text.substr(line.begin, line.end - line.begin);
    if (line.begin == 0 && content.starts_with(kByteOrderMark))
        content.remove_prefix(kByteOrderMark.size());
    return content;
}

// Where the named section and key are: the line indices, or npos.
struct Location {
    std::size_t section = std::string_view::npos;
    std::size_t key = std::string_view::npos;
    std::size_t lastKey = std::string_view::npos; // the section's last key line
};

Location Locate(std::string_view text, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
    Location where;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed parsed = Parse(Content(text, lines[i]));
        if (parsed.kind == Kind::Section) {
            if (where.section != std::string_view::npos)
                break; // the section ended; a later one of the same name does not count
            if (SameName(parsed.name, section))
                where.section = i;
        } else if (parsed.kind == Kind::Key && where.section != std::string_view::npos) {
            where.lastKey = i;
            if (SameName(parsed.name, key)) {
                where.key = i;
                break;
            }
        }
    }
    return where;
}

std::string LineEndOf(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return "\r\n";
    if (text[end] == '\n')
        return "\n";
    return end + 1 < text.size() && text[end + 1] == '\n' ? "\r\n" : "\r";
}

// A value that starts or ends with a blank or a quote is written in quotes, so
// that the reader, which trims blanks and takes off one pair of quotes, gives
// it back exactly ("Holiday " stays "Holiday ").
std::string StoredValue(std::string_view value) {
    constexpr std::string_view kEdges = " \t\"'";
    if (value.empty() || (kEdges.find(value.front()) == std::string_view::npos &&
                          kEdges.find(value.back()) == std::string_view::npos))
        return std::string(value);
    return '"' + std::string(value) + '"';
}

std::string Lowered(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return lower;
}

std::string IndexName(std::string_view section, std::string_view key) {
    return Lowered(Trim(section)) + '\n' + Lowered(Trim(key));
}

// The files read last, by path, with their values: a file read again with the
// same bytes is not parsed again (a language file is asked for each of its
// texts).
struct ReadFile {
    std::string bytes;
    IniValues values;
};
std::mutex readFilesLock;
std::map<std::string, ReadFile> readFiles;

} // namespace

IniValues::IniValues(std::string_view text) {
    std::unordered_set<std::string> sectionsSeen;
    bool inSection = false; // in the first section of its name
    std::string section;
    for (const Line& line : SplitLines(text)) {
        const std::string_view content = Content(text, line);
        const Parsed parsed = Parse(content);
        if (parsed.kind == Kind::Section) {
            section = Lowered(parsed.name);
            inSection = sectionsSeen.insert(section).second;
        } else if (parsed.kind == Kind::Key && inSection) {
            std::string_view value = Trim(content.substr(parsed.valueStart));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            values_.try_emplace(section + '\n' + Lowered(parsed.name), value);
        }
    }
}

std::optional<std::string> IniValues::Find(std::string_view section, std::string_view key) const {
    const auto found = values_.find(IndexName(section, key));
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    return IniValues(text).Find(section, key);
}

bool IsStorableIniText(std::string_view section, std::string_view key, std::string_view value) {
    constexpr std::string_view kBreaks = "\r\n";
    return !Trim(section).empty() && !Trim(key).empty() &&
           section.find_first_of("[]\r\n") == std::string_view::npos &&
           key.find_first_of("=[\r\n") == std::string_view::npos && Trim(key).front() != ';' &&
           value.find_first_of(kBreaks) == std::string_view::npos;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view rawValue) {
    const std::string value = StoredValue(rawValue);
    const std::vector<Line> lines = SplitLines(text);
    const Location where = Locate(text, lines, Trim(section), Trim(key));
    const std::string lineEnd = LineEndOf(text);
    std::string out;
    out.reserve(text.size() + key.size() + value.size() + section.size() + 8);

    if (where.key != std::string_view::npos) {
        // Keep the line up to its value: the key's spelling, its indentation, the blanks around
        // '='.
        const Line& line = lines[where.key];
        const std::string_view content = Content(text, line);
        const std::size_t valueAt =
            static_cast<std::size_t>(content.data() - text.data()) + Parse(content).valueStart;
        out.append(text.substr(0, valueAt));
        out.append(value);
        out.append(text.substr(line.end));
        return out;
    }
    const std::string keyLine = std::string(Trim(key)) + "=" + std::string(value);
    if (where.section != std::string_view::npos) {
        const std::size_t after =
            where.lastKey != std::string_view::npos ? where.lastKey : where.section;
        const Line& line = lines[after];
        out.append(text.substr(0, line.end));
        // A last line without a line break gets one before the new key.
        out.append(line.next > line.end ? text.substr(line.end, line.next - line.end)
                                        : std::string_view(lineEnd));
        out.append(keyLine);
        if (line.next > line.end)
            out.append(lineEnd);
        out.append(text.substr(line.next));
        return out;
    }
    out.append(text);
    if (!text.empty() && text.back() != '\n' && text.back() != '\r')
        out.append(lineEnd);
    out += '[';
    out += Trim(section);
    out += ']';
    out += lineEnd;
    out += keyLine;
    out += lineEnd;
    return out;
}

std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
    std::string bytes;
    if (platform::ReadSettingsFile(file, bytes).Failed())
        return std::string(defaultValue);
    const std::lock_guard lock(readFilesLock);
    ReadFile& read = readFiles[file];
    if (read.bytes != bytes || read.values.Empty()) {
        read.values = IniValues(DecodeText(bytes));
        read.bytes = std::move(bytes);
    }
    return read.values.Find(section, key).value_or(std::string(defaultValue));
}

platform::SysError WriteIniValue(const std::string& file, std::string_view section,
                                 std::string_view key, std::string_view value) {
    if (!IsStorableIniText(section, key, value))
        return {kIniUnstorableText, "The text cannot be stored in a settings file line."};
    std::string bytes;
    // A missing file is created; any other reason not to read it stops the write.
    if (const platform::SysError error = platform::ReadSettingsFile(file, bytes);
        error.Failed() && !platform::IsNotFound(error))
        return error;
    return platform::WriteFileAtomically(file, SetIniValue(DecodeText(bytes), section, key, value));
}

} // namespace stampwell::app
