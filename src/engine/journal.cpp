#include "engine/journal.h"

#include "platform/files.h"
#include "platform/folders.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <sstream>

namespace stampwell::engine {

namespace {

using platform::ItemKind;
using platform::SysError;

constexpr const char* kFirstLine = "Stampwell journal 1";
constexpr const char* kSuffix = ".journal";

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

std::string UtcText(FileTime time, bool fraction) {
    const std::int64_t days = (time.seconds >= 0 ? time.seconds : time.seconds - 86399) / 86400;
    const std::int64_t inDay = time.seconds - days * 86400;
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                  static_cast<long long>(year), month, day, static_cast<long long>(inDay / 3600),
                  static_cast<long long>(inDay / 60 % 60), static_cast<long long>(inDay % 60));
    std::string result = text;
    if (fraction || time.nanoseconds != 0) {
        std::snprintf(text, sizeof text, ".%09u", time.nanoseconds);
        result += text;
    }
    return result + " UTC";
}

const char* KindWord(TimeKind kind) {
    switch (kind) {
    case TimeKind::Created:
        return "created";
    case TimeKind::Modified:
        return "modified";
    case TimeKind::Accessed:
        return "accessed";
    }
    return "";
}

std::string TimeValue(const std::optional<FileTime>& time) {
    if (!time)
        return "-";
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%09u", static_cast<long long>(time->seconds),
                  time->nanoseconds);
    return text;
}

bool ParseTime(const std::string& text, std::optional<FileTime>& time) {
    time.reset();
    if (text == "-")
        return true;
    const std::size_t point = text.find('.');
    if (point == std::string::npos || text.size() - point - 1 != 9)
        return false;
    FileTime parsed;
    const char* end = text.data() + point;
    if (std::from_chars(text.data(), end, parsed.seconds).ptr != end)
        return false;
    const char* last = text.data() + text.size();
    if (std::from_chars(end + 1, last, parsed.nanoseconds).ptr != last)
        return false;
    time = parsed;
    return true;
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string HexBytes(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 15];
    }
    return text;
}

int HexDigit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

template <typename Number> bool ParseNumber(const std::string& text, Number& value, int base) {
    const char* last = text.data() + text.size();
    return !text.empty() && std::from_chars(text.data(), last, value, base).ptr == last;
}

bool ParseHexBytes(const std::string& text, std::string& bytes) {
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

char TypeLetter(const ItemReport& report) {
    if (report.before && report.before->kind == ItemKind::Link)
        return 'L';
    return report.type == platform::ItemType::Folder ? 'D' : 'F';
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::vector<std::string> SplitBlanks(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool ParseChange(const std::vector<std::string>& fields, JournalChange& change) {
    if (fields.size() != 6 || fields[1].size() != 1)
        return false;
    const char type = fields[1][0];
    if (type != 'F' && type != 'D' && type != 'L')
        return false;
    change.type = type == 'D' ? platform::ItemType::Folder : platform::ItemType::File;
    change.link = type == 'L';
    change.before.kind = type == 'D'   ? ItemKind::Folder
                         : type == 'L' ? ItemKind::Link
                                       : ItemKind::File;
    const std::size_t colon = fields[2].find(':');
    if (colon == std::string::npos ||
        !ParseNumber(fields[2].substr(0, colon), change.before.identity.volume, 10) ||
        !ParseNumber(fields[2].substr(colon + 1), change.before.identity.index, 10))
        return false;
    const std::vector<std::string> before = SplitBlanks(fields[3]);
    const std::vector<std::string> after = SplitBlanks(fields[4]);
    if (before.size() != 6 || after.size() != 4)
        return false;
    std::optional<FileTime> modified;
    std::optional<FileTime> accessed;
    if (!ParseTime(before[0], modified) || !modified || !ParseTime(before[1], accessed) ||
        !accessed || !ParseTime(before[2], change.before.times.created))
        return false;
    change.before.times.modified = *modified;
    change.before.times.accessed = *accessed;
    change.attributesRead = before[3] != "-";
    if (change.attributesRead && !ParseNumber(before[3], change.before.attributes, 16))
        return false;
    if (!ParseNumber(before[4], change.before.mode, 8))
        return false;
    if (before[5] == "?") {
        change.attributesRead = false;
    } else if (before[5] != "-") {
        std::string bytes;
        if (!ParseHexBytes(before[5], bytes))
            return false;
        change.before.stored = std::move(bytes);
    }
    if (!ParseTime(after[0], change.written.modified) ||
        !ParseTime(after[1], change.written.accessed) ||
        !ParseTime(after[2], change.written.created))
        return false;
    if (after[3] != "-") {
        std::uint32_t word = 0;
        if (!ParseNumber(after[3], word, 16))
            return false;
        change.writtenWord = word;
    }
    return UnescapeJournalText(fields[5], change.path);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + platform::kPathSeparator + name;
}

} // namespace

std::string JournalFolder() {
    const std::string state = platform::StateFolder();
    if (state.empty())
        return {};
    const char sep = platform::kPathSeparator;
    return state + sep + "Quillbox" + sep + "Stampwell" + sep + "journal";
}

std::string JournalTimeNow() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return UtcText(
        {nanoseconds / 1'000'000'000, static_cast<std::uint32_t>(nanoseconds % 1'000'000'000)},
        true);
}

std::string DescribeJob(const Job& job) {
    std::string words;
    const TimeOperation& times = job.times;
    if (times.type == TimeOperation::Type::Set)
        words =
            std::string("set ") + KindWord(times.target) + " to " + UtcText(times.newTime, false);
    else if (times.type == TimeOperation::Type::Copy && times.exchange)
        words =
            std::string("exchange ") + KindWord(times.target) + " and " + KindWord(times.source);
    else if (times.type == TimeOperation::Type::Copy)
        words = std::string("copy ") + KindWord(times.source) + " to " + KindWord(times.target);
    if (job.attributes.action != AttributeAction::None && job.attributes.Bits() != 0) {
        if (!words.empty())
            words += "; ";
        words += job.attributes.action == AttributeAction::Set ? "set" : "clear";
        const std::pair<bool, const char*> names[] = {{job.attributes.archive, " archive"},
                                                      {job.attributes.readOnly, " read-only"},
                                                      {job.attributes.system, " system"},
                                                      {job.attributes.hidden, " hidden"}};
        for (const auto& [checked, name] : names)
            if (checked)
                words += name;
    }
    if (words.empty())
        words = "nothing";
    if (!job.isFolder)
        return words + "; the file";
    static constexpr const char* kModes[] = {"files and folders", "files", "folders", "the file"};
    words += std::string("; ") + kModes[static_cast<int>(job.mode)];
    words += job.recursive ? ", with sub-folders" : ", without sub-folders";
    return words + ", " + job.filter;
}

std::string EscapeJournalText(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (byte < 0x20 || byte == 0x7f) {
            static constexpr char kDigits[] = "0123456789abcdef";
            escaped += "\\x";
            escaped += kDigits[byte >> 4];
            escaped += kDigits[byte & 15];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool UnescapeJournalText(const std::string& text, std::string& raw) {
    raw.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            raw += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            raw += '\\';
            ++i;
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return false;
        const int high = HexDigit(text[i + 2]);
        const int low = HexDigit(text[i + 3]);
        if (high < 0 || low < 0)
            return false;
        raw += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return true;
}

SysError JournalWriter::Create(const std::string& folder, const JournalHead& head,
                               std::unique_ptr<JournalWriter>& writer) {
    if (folder.empty())
        return platform::NotFound();
    if (SysError error = platform::CreateFolderPath(folder); error.Failed())
        return error;
    // The name sorts by time: "2026-12-07 03:20:11.123456789 UTC" gives
    // 20261207-032011.123456789.
    std::string stamp;
    for (const char c : head.started.substr(0, head.started.size() - 4))
        if (c != '-' && c != ':')
            stamp += c == ' ' ? '-' : c;
    auto made = std::unique_ptr<JournalWriter>(new JournalWriter);
    SysError error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A run begun in the same instant as another (a coarse clock) sorts
        // after it: '_' sorts after the suffix's '.', and _01 to _99 in order.
        const std::string again = "_" + std::to_string(100 + attempt).substr(1);
        made->path_ = JoinPath(folder, stamp + (attempt == 0 ? "" : again) + kSuffix);
        error = made->file_.Create(made->path_);
        if (!error.Failed() || !platform::PathExists(made->path_))
            break;
    }
    if (error.Failed())
        return error;
    made->base_ = platform::CurrentFolder();
    std::string text = std::string(kFirstLine) + "\n";
    text += "started\t" + EscapeJournalText(head.started) + "\n";
    text += "program\t" + EscapeJournalText(head.program) + "\n";
    text += "item\t" + EscapeJournalText(made->Absolute(head.item)) + "\n";
    text += "operations\t" + EscapeJournalText(head.operations) + "\n";
    if (!head.undoes.empty())
        text += "undoes\t" + EscapeJournalText(head.undoes) + "\n";
    if (error = made->file_.Append(text); error.Failed()) {
        made->file_.Close();
        platform::RemoveFile(made->path_);
        return error;
    }
    writer = std::move(made);
    return {};
}

std::string JournalWriter::Absolute(const std::string& path) const {
    if (path.empty() || base_.empty() || platform::IsAbsolutePath(path))
        return path;
    return platform::IsPathSeparator(base_.back()) ? base_ + path : JoinPath(base_, path);
}

SysError JournalWriter::Add(const ItemReport& planned) {
    if (!planned.before)
        return {};
    const platform::ItemState& before = *planned.before;
    std::string line = "change\t";
    line += TypeLetter(planned);
    line += '\t' + std::to_string(before.identity.volume) + ':' +
            std::to_string(before.identity.index) + '\t';
    line += TimeValue(before.times.modified) + ' ' + TimeValue(before.times.accessed) + ' ' +
            TimeValue(before.times.created) + ' ';
    const bool attributesRead = planned.attributes.before != planned.attributes.after;
    line += attributesRead ? Hex(before.attributes) : "-";
    char mode[16];
    std::snprintf(mode, sizeof mode, " %o ", before.mode);
    line += mode;
    line += !attributesRead ? "?" : before.stored ? HexBytes(*before.stored) : "-";
    const TimesUpdate& update = planned.times.update;
    line += '\t' + TimeValue(update.modified) + ' ' + TimeValue(update.accessed) + ' ' +
            TimeValue(update.created) + ' ' +
            (attributesRead ? Hex(planned.attributes.after) : std::string("-"));
    line += '\t' + EscapeJournalText(Absolute(planned.path)) + '\n';
    return file_.Append(line);
}

SysError
JournalWriter::Finish(const std::string& ending,
                      std::initializer_list<std::pair<const char*, std::uint64_t>> counts) {
    std::string line = "end\t" + JournalTimeNow() + '\t' + ending;
    for (const auto& [name, count] : counts)
        line += '\t' + std::string(name) + ' ' + std::to_string(count);
    line += '\n';
    SysError error = file_.Append(line);
    if (const SysError closed = file_.Close(); !error.Failed())
        error = closed;
    return error;
}

std::string EndingWord(Ending ending) {
    switch (ending) {
    case Ending::BadFilter:
        return "bad-filter";
    case Ending::FoundNothing:
        return "found-nothing";
    case Ending::Cancelled:
        return "cancelled";
    case Ending::Done:
        return "done";
    }
    return "done";
}

namespace {

// How much of a journal's start and end a listing reads: its head and its
// end line, whatever lies between.
constexpr std::size_t kEnds = 64 * 1024;

// What ends a piece of a journal's text: its newline, or a zero byte.
constexpr std::string_view kLineEnds("\n\0", 2);

// A cut-short run leaves the rest of its last piece as zero bytes, and maybe
// a line cut short before them (a process killed while it copied a line may
// even leave zeros before the rest of the line). A line is taken only when
// its newline ends it: a piece that zeros or the end of the text end is left
// out. A line appended after the zeros, such as the mark of an undo, counts.
std::string WholeLines(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t start = 0, end = 0;
         (end = bytes.find_first_of(kLineEnds, start)) != bytes.npos; start = end + 1) {
        if (bytes[end] == '\n')
            text += bytes.substr(start, end + 1 - start);
    }
    return text;
}

// Reads the lines of a journal's text into `journal`; `first` says whether
// the text begins with the journal's first line.
SysError ReadLines(const std::string& bytes, bool first, bool changesToo, Journal& journal) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (first) {
            if (line != kFirstLine)
                return platform::DamagedData();
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        const std::vector<std::string> fields = SplitTabs(line);
        const std::string& key = fields[0];
        std::string value;
        if (key == "change") {
            journal.hasChanges = true;
            if (!changesToo)
                continue;
            JournalChange change;
            if (ParseChange(fields, change))
                journal.changes.push_back(std::move(change));
            else
                ++journal.damaged;
        } else if (key == "end") {
            journal.ended = true;
            journal.endLine.clear();
            for (std::size_t i = 2; i < fields.size(); ++i)
                journal.endLine += (i > 2 ? ", " : "") + fields[i];
        } else if (fields.size() == 2 && UnescapeJournalText(fields[1], value)) {
            if (key == "started")
                journal.head.started = value;
            else if (key == "program")
                journal.head.program = value;
            else if (key == "item")
                journal.head.item = value;
            else if (key == "operations")
                journal.head.operations = value;
            else if (key == "undoes")
                journal.head.undoes = value;
            else if (key == "undone")
                journal.undoneBy = value;
            else if (key == "kept")
                journal.kept = true;
        } else {
            ++journal.damaged;
        }
    }
    return first ? platform::DamagedData() : SysError{};
}

} // namespace

SysError ReadJournal(const std::string& path, Journal& journal, bool changesToo) {
    const std::string file = path; // `path` may be the journal's own name
    journal = {};
    journal.file = file;
    if (changesToo) {
        std::string bytes;
        if (SysError error = platform::ReadWholeFile(file, bytes); error.Failed())
            return error;
        return ReadLines(WholeLines(bytes), true, true, journal);
    }
    std::string head;
    std::string tail;
    std::uint64_t size = 0;
    if (SysError error = platform::ReadFileEnds(file, kEnds, kEnds, head, tail, size);
        error.Failed())
        return error;
    if (SysError error = ReadLines(WholeLines(head), true, false, journal); error.Failed())
        return error;
    if (tail.empty())
        return {};
    // The tail starts within a line: from the next one on.
    journal.hasChanges = true;
    const std::size_t end = tail.find_first_of(kLineEnds);
    return end == std::string::npos ? SysError{}
                                    : ReadLines(WholeLines(std::string_view(tail).substr(end + 1)),
                                                false, false, journal);
}

namespace {

// The journal files of a folder, oldest first (their names sort by time).
std::vector<std::string> JournalFiles(const std::string& folder) {
    std::vector<std::string> names;
    const std::string suffix = kSuffix;
    for (std::string& name : platform::FolderEntries(folder))
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(std::move(name));
    std::sort(names.begin(), names.end());
    for (std::string& name : names)
        name = JoinPath(folder, name);
    return names;
}

} // namespace

std::vector<Journal> ListJournals(const std::string& folder) {
    std::vector<Journal> journals;
    std::vector<std::string> files = JournalFiles(folder);
    std::reverse(files.begin(), files.end());
    for (const std::string& file : files) {
        Journal journal;
        if (!ReadJournal(file, journal, false).Failed())
            journals.push_back(std::move(journal));
    }
    return journals;
}

std::vector<Journal> CutShortRuns(const std::string& folder) {
    std::vector<Journal> cut;
    for (Journal& journal : ListJournals(folder))
        if (!journal.ended && journal.undoneBy.empty() && !journal.kept &&
            !platform::IsRecordFileInUse(journal.file))
            cut.push_back(std::move(journal));
    return cut;
}

SysError MarkUndone(const std::string& file, const std::string& undoJournal) {
    return platform::AppendToFile(file, "undone\t" + EscapeJournalText(undoJournal) + "\n");
}

SysError MarkKept(const std::string& file) {
    return platform::AppendToFile(file, "kept\t" + EscapeJournalText(JournalTimeNow()) + "\n");
}

void PruneJournals(const std::string& folder, const std::string& keep) {
    const std::vector<std::string> files = JournalFiles(folder);
    std::uint64_t bytes = 0;
    for (const std::string& file : files)
        bytes += platform::FileSize(file);
    std::size_t count = files.size();
    for (const std::string& file : files) {
        if (count <= kJournalsKept && bytes <= kJournalBytesKept)
            return;
        if (file == keep || platform::IsRecordFileInUse(file))
            continue;
        const std::uint64_t size = platform::FileSize(file);
        if (!platform::RemoveFile(file).Failed()) {
            --count;
            bytes -= std::min(bytes, size);
        }
    }
}

} // namespace stampwell::engine
