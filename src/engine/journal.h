#pragma once

#include "engine/batchrun.h"
#include "platform/recordfile.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The run journal: one text file per run that holds, for every item the run
// is about to change, its values as read before and the values it is about
// to get, written before the change. Undo and recovery read it.
//
//   Stampwell journal 1
//   started<TAB>2026-12-07 03:20:11.123456789 UTC
//   program<TAB>stampwell-cli
//   item<TAB>/home/anna/Photos
//   operations<TAB>set modified to 2001-02-03 04:05:06 UTC; files, with sub-folders, *.*
//   change<TAB>F<TAB>2049:1234<TAB>m a c w p s<TAB>m a c w<TAB>path
//   end<TAB>2026-12-07 03:20:12.5 UTC<TAB>done<TAB>files 2<TAB>folders 0<TAB>failed 0
//
// A change line gives the item's type (F file, D folder, L link), its
// identity (volume:number), its values before (modified, accessed and
// created as seconds.nanoseconds since 1970 UTC, "-" where there is none;
// the attribute word in hex; the POSIX mode in octal; the stored attribute
// bytes in hex, "-" for none, "?" when not read) and what it is about to
// get ("-" for a value left alone), then its path. In text values a
// backslash, a tab, a line break and every other control character are
// written as \\ and \xHH, so any name comes back exactly. A journal without
// its end line is a run that was cut short; "undone" and "kept" lines say
// what became of such a run.
namespace stampwell::engine {

// Where the journals are kept: <state folder>/Quillbox/Stampwell/journal.
std::string JournalFolder();

// How many runs and how many bytes of journals are kept; the oldest go first.
inline constexpr std::size_t kJournalsKept = 50;
inline constexpr std::uint64_t kJournalBytesKept = 256ull << 20;

// The first lines of a journal.
struct JournalHead {
    std::string started; // "2026-12-07 03:20:11.123456789 UTC"
    std::string program;
    std::string item;
    std::string operations;
    std::string undoes; // for an undo: the file name of the journal it undoes
};

// The words for a job's operations, as the journal's head gives them.
std::string DescribeJob(const Job& job);

// The time now, as the journal writes it.
std::string JournalTimeNow();

// Writes one run's journal.
class JournalWriter {
public:
    // Creates a new journal in `folder` (made when missing), named after the
    // time, and writes its head.
    static platform::SysError Create(const std::string& folder, const JournalHead& head,
                                     std::unique_ptr<JournalWriter>& writer);

    const std::string& Path() const { return path_; }

    // The item's values before and what it is about to get; safe on two
    // threads at once. On return the line outlasts the process.
    platform::SysError Add(const ItemReport& planned);

    // The end line with the run's counts; the journal is then durable and closed.
    // (counts: name and number)
    platform::SysError Finish(const std::string& ending,
                              std::initializer_list<std::pair<const char*, std::uint64_t>> counts);

private:
    // A relative item path is written from this folder (the current folder
    // when the journal was made), so that an undo finds it from anywhere.
    std::string Absolute(const std::string& path) const;

    std::string path_;
    std::string base_;
    platform::RecordFile file_;
};

// The end line's word for how a run ended.
std::string EndingWord(Ending ending);

// One change as a journal holds it.
struct JournalChange {
    platform::ItemType type = platform::ItemType::File;
    bool link = false;
    std::string path;
    platform::ItemState before; // with the attributes when `attributesRead`
    bool attributesRead = false;
    TimesUpdate written;                      // the times the run wrote
    std::optional<std::uint32_t> writtenWord; // the attribute word the run wrote
};

struct Journal {
    std::string file;
    JournalHead head;
    std::vector<JournalChange> changes;
    bool hasChanges = false; // a change line is there (also when only the ends were read)
    bool ended = false;      // the end line is there
    std::string endLine;     // its words, for a listing
    std::string undoneBy;    // a cut-short run undone by this journal
    bool kept = false;       // a cut-short run the user chose to keep as it is
    std::size_t damaged = 0; // lines that could not be read
};

// Reads a journal; with `changesToo` false only its head and end.
platform::SysError ReadJournal(const std::string& file, Journal& journal, bool changesToo = true);

// The kept journals, newest first (heads and ends only).
std::vector<Journal> ListJournals(const std::string& folder);

// The journals of runs that were cut short, neither undone nor kept, and not
// running now; newest first.
std::vector<Journal> CutShortRuns(const std::string& folder);

// Adds a line to a finished or cut-short journal: "undone" with the undo's
// journal, or "kept".
platform::SysError MarkUndone(const std::string& file, const std::string& undoJournal);
platform::SysError MarkKept(const std::string& file);

// Removes the oldest journals beyond kJournalsKept or kJournalBytesKept;
// never `keep` (the journal of the run in hand) nor one in use.
void PruneJournals(const std::string& folder, const std::string& keep = {});

// Text values in a journal line, escaped and read back.
std::string EscapeJournalText(const std::string& text);
bool UnescapeJournalText(const std::string& text, std::string& raw);

} // namespace stampwell::engine
