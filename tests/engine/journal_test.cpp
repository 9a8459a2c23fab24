#include "engine/journalledrun.h"
#include "engine/times.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/item.h"

#include <cstring>
#include <gtest/gtest.h>

namespace stampwell::engine {
namespace {

using stampwell::testing::TempFolder;

TEST(JournalText, EscapesEveryByteThatCouldBreakALineAndReadsItBack) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"back\\slash", "back\\\\slash"},
        {"new\nline\ttab\rcr", "new\\x0aline\\x09tab\\x0dcr"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"\x7f\x1b", "\\x7f\\x1b"},
        {"caf\xe9 \xc3\xa4", "caf\xe9 \xc3\xa4"},
    };
    for (const auto& [raw, escaped] : cases) {
        EXPECT_EQ(EscapeJournalText(raw), escaped);
        std::string back;
        EXPECT_TRUE(UnescapeJournalText(escaped, back));
        EXPECT_EQ(back, raw);
    }
    std::string ignored;
    for (const char* bad : {"\\", "\\x4", "\\xzz", "\\q"})
        EXPECT_FALSE(UnescapeJournalText(bad, ignored)) << bad;
}

ItemReport Planned(const std::string& path, platform::ItemKind kind) {
    ItemReport report;
    report.path = path;
    report.type = kind == platform::ItemKind::Folder ? ItemType::Folder : ItemType::File;
    platform::ItemState before;
    before.kind = kind;
    before.identity = {2049, 987654321987ull};
    before.times.modified = {-11'644'473'600, 100};
    before.times.accessed = {1'700'000'000, 999'999'999};
    before.times.created = std::nullopt;
    before.attributes = 0x21;
    before.mode = 0100644;
    before.stored = std::string("0x20\0\x03\x00", 7);
    report.before = before;
    report.attributes = {0x21, 0x23};
    report.times.update.modified = FileTime{1'234'567'890, 5};
    report.times.update.created = FileTime{0, 0};
    return report;
}

// Every value and every name comes back exactly, and the head and end say
// what the run was.
TEST(Journal, RoundTripsOddNamesAndEveryValueExactly) {
    TempFolder tree;
    const std::string folder = tree.Path("journals");
    std::unique_ptr<JournalWriter> writer;
    const JournalHead head{
        JournalTimeNow(), "stampwell-cli", tree.Path("some\nwhere"), "set modified", {}};
    ASSERT_FALSE(JournalWriter::Create(folder, head, writer).Failed());
    std::vector<std::string> names;
    for (const char* name :
         {"new\nline", "tab\there", "back\\slash", "\xff\xfe latin", "ends with blank "})
        names.push_back(tree.Path(name));
    for (std::size_t i = 0; i < names.size(); ++i)
        ASSERT_FALSE(writer
                         ->Add(Planned(names[i], i == 1   ? platform::ItemKind::Folder
                                                 : i == 2 ? platform::ItemKind::Link
                                                          : platform::ItemKind::File))
                         .Failed());
    // A relative path is written from the current folder: an undo finds it
    // from anywhere.
    ItemReport timesOnly = Planned("f.txt", platform::ItemKind::File);
    timesOnly.attributes = {};
    ASSERT_FALSE(writer->Add(timesOnly).Failed());
    ASSERT_FALSE(writer->Finish("done", {{"files", 5}, {"folders", 1}, {"failed", 0}}).Failed());

    Journal journal;
    ASSERT_FALSE(ReadJournal(writer->Path(), journal).Failed());
    EXPECT_EQ(journal.head.started, head.started);
    EXPECT_EQ(journal.head.item, head.item);
    EXPECT_EQ(journal.head.program, "stampwell-cli");
    EXPECT_TRUE(journal.ended);
    EXPECT_EQ(journal.endLine, "done, files 5, folders 1, failed 0");
    EXPECT_EQ(journal.damaged, 0u);
    ASSERT_EQ(journal.changes.size(), names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const JournalChange& change = journal.changes[i];
        const ItemReport expected = Planned(names[i], platform::ItemKind::File);
        EXPECT_EQ(change.path, names[i]);
        EXPECT_EQ(change.type, i == 1 ? ItemType::Folder : ItemType::File);
        EXPECT_EQ(change.link, i == 2);
        EXPECT_EQ(change.before.identity, expected.before->identity);
        EXPECT_EQ(change.before.times.modified, expected.before->times.modified);
        EXPECT_EQ(change.before.times.accessed, expected.before->times.accessed);
        EXPECT_FALSE(change.before.times.created);
        EXPECT_TRUE(change.attributesRead);
        EXPECT_EQ(change.before.attributes, 0x21u);
        EXPECT_EQ(change.before.mode, 0100644u);
        EXPECT_EQ(change.before.stored, expected.before->stored);
        EXPECT_EQ(change.written.modified, (FileTime{1'234'567'890, 5}));
        EXPECT_EQ(change.written.created, (FileTime{0, 0}));
        EXPECT_FALSE(change.written.accessed);
        EXPECT_EQ(change.writtenWord, 0x23u);
    }
    EXPECT_EQ(journal.changes.back().path,
              platform::CurrentFolder() + platform::kPathSeparator + "f.txt");
    EXPECT_FALSE(journal.changes.back().attributesRead);
    EXPECT_FALSE(journal.changes.back().writtenWord);
}

// A change whose attribute values are not hex is damaged, not read.
TEST(Journal, ChangeWithAttributeValuesThatAreNotHexIsDamaged) {
    TempFolder tree;
    std::unique_ptr<JournalWriter> writer;
    ASSERT_FALSE(
        JournalWriter::Create(tree.Path("j"), {JournalTimeNow(), "p", "i", "o", {}}, writer)
            .Failed());
    ASSERT_FALSE(writer->Add(Planned(tree.Path("a"), platform::ItemKind::File)).Failed());
    ASSERT_FALSE(writer->Finish("done", {}).Failed());
    const std::string text = testing::ReadBytes(writer->Path());
    // The stored bytes cut or with a letter that is no hex digit, and the
    // written attribute word likewise.
    const std::pair<const char*, const char*> damages[] = {
        {" 30783230000300\t", " 3078323000030\t"},
        {" 30783230000300\t", " 3078323000030g\t"},
        {" 30783230000300\t", " g0783230000300\t"},
        {" 23\t", " 2g\t"},
    };
    for (const auto& [good, bad] : damages) {
        const std::size_t at = text.find(good);
        ASSERT_NE(at, std::string::npos) << text;
        testing::WriteBytes(writer->Path(),
                            text.substr(0, at) + bad + text.substr(at + std::strlen(good)));
        Journal journal;
        ASSERT_FALSE(ReadJournal(writer->Path(), journal).Failed());
        EXPECT_EQ(journal.damaged, 1u) << bad;
        EXPECT_TRUE(journal.changes.empty()) << bad;
    }
}

TEST(Journal, KeepsTheNewestFiftyRuns) {
    TempFolder tree;
    const std::string folder = tree.Path("journals");
    std::vector<std::string> made;
    for (int i = 0; i < 55; ++i) {
        std::unique_ptr<JournalWriter> writer;
        char started[64];
        std::snprintf(started, sizeof started, "2026-01-01 00:00:%02d.000000000 UTC", i);
        ASSERT_FALSE(JournalWriter::Create(folder, {started, "p", "i", "o", {}}, writer).Failed());
        ASSERT_FALSE(writer->Finish("done", {}).Failed());
        made.push_back(writer->Path());
    }
    PruneJournals(folder);
    const std::vector<Journal> kept = ListJournals(folder);
    ASSERT_EQ(kept.size(), kJournalsKept);
    EXPECT_EQ(kept.front().file, made.back()) << "newest first";
    EXPECT_EQ(kept.back().file, made[5]) << "the five oldest went";
}

// A run and its undo through the journal: the items get back every value
// they had, and the undo can be undone in turn.
TEST(Journal, UndoPutsBackAMixedRunAndCanItselfBeUndone) {
    TempFolder tree;
    const std::string a = tree.File("a.txt");
    const std::string b = tree.File("sub/b.txt");
    const std::string sub = tree.Path("sub");
    test::SetDistinctTimes(a, ItemType::File, 1'000'000'000);
    test::SetDistinctTimes(b, ItemType::File, 1'100'000'000);
    test::SetDistinctTimes(sub, ItemType::Folder, 1'200'000'000);
    std::uint32_t wordA = 0;
    ASSERT_FALSE(platform::ReadAttributes(a, wordA).Failed());
    const ItemTimes beforeA = test::TimesOf(a, ItemType::File);
    const ItemTimes beforeSub = test::TimesOf(sub, ItemType::Folder);

    Job job;
    job.path = tree.Root();
    job.recursive = true;
    job.times = {TimeOperation::Type::Copy, TimeKind::Modified, TimeKind::Accessed, true, {}};
    job.attributes.action = AttributeAction::Set;
    job.attributes.hidden = true;
    job.filter = "*.txt";
    TempFolder elsewhere;
    const std::string journals = elsewhere.Path("journals");
    std::unique_ptr<JournalWriter> journal;
    ASSERT_FALSE(StartJournal(journals, "test", job, journal).Failed());
    platform::SysError journalError;
    ClearCancel();
    const Outcome outcome = RunWithJournal(job, {}, journal.get(), journalError);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_FALSE(journalError.Failed());
    EXPECT_EQ(test::TimesOf(a, ItemType::File).modified, beforeA.accessed);

    Journal run;
    ASSERT_FALSE(ReadJournal(journal->Path(), run).Failed());
    EXPECT_EQ(run.changes.size(), 4u) << "two files, sub and the chosen folder";
    std::unique_ptr<JournalWriter> undoJournal;
    ASSERT_FALSE(StartUndoJournal(journals, "test", run, undoJournal).Failed());
    const UndoOutcome undone = UndoWithJournal(run, false, {}, undoJournal.get(), journalError);
    EXPECT_EQ(undone.restored, run.changes.size());
    EXPECT_EQ(undone.skipped + undone.failed, 0u);
    const ItemTimes afterA = test::TimesOf(a, ItemType::File);
    EXPECT_EQ(afterA.modified, beforeA.modified);
    EXPECT_EQ(afterA.accessed, beforeA.accessed);
    EXPECT_EQ(test::TimesOf(sub, ItemType::Folder).modified, beforeSub.modified);
    std::uint32_t word = 0;
    ASSERT_FALSE(platform::ReadAttributes(a, word).Failed());
    EXPECT_EQ(word, wordA);
    ASSERT_FALSE(ReadJournal(run.file, run).Failed());
    EXPECT_FALSE(run.undoneBy.empty()) << "the run knows it was undone";

    Journal undo;
    ASSERT_FALSE(ReadJournal(undoJournal->Path(), undo).Failed());
    EXPECT_EQ(UndoJournal(undo, false, {}).restored, undo.changes.size());
    EXPECT_EQ(test::TimesOf(a, ItemType::File).modified, beforeA.accessed) << "the run again";
}

// An item changed after the run is left alone, unless forced.
TEST(Journal, UndoSkipsAnItemChangedSinceUnlessForced) {
    TempFolder tree;
    const std::string file = tree.File("a.txt");
    test::SetDistinctTimes(file, ItemType::File, 1'000'000'000);
    const ItemTimes before = test::TimesOf(file, ItemType::File);
    Job job;
    job.path = file;
    job.isFolder = false;
    job.times = {TimeOperation::Type::Set, TimeKind::Modified, TimeKind::Modified, false,
                 FileTime{1'500'000'000, 0}};
    std::unique_ptr<JournalWriter> journal;
    ASSERT_FALSE(StartJournal(tree.Path("j"), "test", job, journal).Failed());
    platform::SysError journalError;
    RunWithJournal(job, {}, journal.get(), journalError);
    Journal run;
    ASSERT_FALSE(ReadJournal(journal->Path(), run).Failed());

    const FileTime later{1'600'000'000, 700};
    ASSERT_FALSE(platform::WriteItemTimes(file, ItemType::File, {std::nullopt, later, std::nullopt})
                     .Failed());
    std::vector<Failure> failures;
    RunCallbacks callbacks;
    callbacks.failure = [&](const Failure& failure) { failures.push_back(failure); };
    const UndoOutcome skipped = UndoJournal(run, false, callbacks);
    EXPECT_EQ(skipped.skipped, 1u);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].step, FailedStep::ChangedSince);
    EXPECT_EQ(test::TimesOf(file, ItemType::File).modified, later);

    EXPECT_EQ(UndoJournal(run, true, {}).restored, 1u);
    EXPECT_EQ(test::TimesOf(file, ItemType::File).modified, before.modified);
}

} // namespace
} // namespace stampwell::engine
