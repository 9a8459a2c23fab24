#include "engine/items.h"
#include "engine/journalledrun.h"
#include "platform/folders.h"
#include "platform/item.h"

#include <cstring>

namespace stampwell::engine {
namespace {

using namespace test;

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
    report.before =
        platform::ItemState{kind,
                            {2049, 987654321987ull},
                            {std::nullopt, {-11'644'473'600, 100}, {1'700'000'000, 999'999'999}},
                            0x21,
                            0100644,
                            std::string("0x20\0\x03\x00", 7)};
    report.attributes = {0x21, 0x23};
    report.times.update = {FileTime{0, 0}, FileTime{1'234'567'890, 5}, std::nullopt};
    return report;
}

std::unique_ptr<JournalWriter> Create(const std::string& folder, const JournalHead& head) {
    std::unique_ptr<JournalWriter> writer;
    EXPECT_FALSE(JournalWriter::Create(folder, head, writer).Failed());
    return writer;
}

Journal Read(const std::string& file) {
    Journal journal;
    EXPECT_FALSE(ReadJournal(file, journal).Failed()) << file;
    return journal;
}

// Every value and every name comes back exactly; a relative path is written
// from the current folder, so that an undo finds it from anywhere.
TEST(Journal, RoundTripsOddNamesAndEveryValueExactly) {
    TempFolder tree;
    const JournalHead head{JournalTimeNow(), "stampwell-cli", tree.Path("some\nwhere"), "set", {}};
    const auto writer = Create(tree.Path("journals"), head);
    const std::vector<std::pair<std::string, platform::ItemKind>> items = {
        {tree.Path("new\nline"), platform::ItemKind::File},
        {tree.Path("tab\there"), platform::ItemKind::Folder},
        {tree.Path("back\\slash"), platform::ItemKind::Link},
        {tree.Path("\xff\xfe latin"), platform::ItemKind::File},
        {"ends with blank ", platform::ItemKind::File}};
    for (const auto& [path, kind] : items)
        ASSERT_FALSE(writer->Add(Planned(path, kind)).Failed());
    ItemReport timesOnly = Planned("f.txt", platform::ItemKind::File);
    timesOnly.attributes = {};
    ASSERT_FALSE(writer->Add(timesOnly).Failed());
    ASSERT_FALSE(writer->Finish("done", {{"files", 5}, {"folders", 1}, {"failed", 0}}).Failed());

    const Journal journal = Read(writer->Path());
    EXPECT_EQ(journal.head.started, head.started);
    EXPECT_EQ(journal.head.item, head.item);
    EXPECT_EQ(journal.head.program, "stampwell-cli");
    EXPECT_TRUE(journal.ended);
    EXPECT_EQ(journal.endLine, "done, files 5, folders 1, failed 0");
    EXPECT_EQ(journal.damaged, 0u);
    ASSERT_EQ(journal.changes.size(), items.size() + 1);
    const ItemReport expected = Planned("", platform::ItemKind::File);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const JournalChange& change = journal.changes[i];
        EXPECT_EQ(change.path,
                  i == 4 ? platform::CurrentFolder() + platform::kPathSeparator + items[i].first
                         : items[i].first);
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
        EXPECT_EQ(change.written.modified, expected.times.update.modified);
        EXPECT_EQ(change.written.created, expected.times.update.created);
        EXPECT_FALSE(change.written.accessed);
        EXPECT_EQ(change.writtenWord, 0x23u);
    }
    EXPECT_FALSE(journal.changes.back().attributesRead);
    EXPECT_FALSE(journal.changes.back().writtenWord);

    // The stored bytes cut or with a letter that is no hex digit, and the
    // written attribute word likewise: the change is damaged, not read.
    const std::string text = testing::ReadBytes(writer->Path());
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
        const Journal damaged = Read(writer->Path());
        EXPECT_EQ(damaged.damaged, 1u) << bad;
        EXPECT_EQ(damaged.changes.size(), items.size()) << bad;
    }
}

TEST(Journal, KeepsTheNewestFiftyRuns) {
    TempFolder tree;
    std::vector<std::string> made;
    for (int i = 0; i < 55; ++i) {
        char started[64];
        std::snprintf(started, sizeof started, "2026-01-01 00:00:%02d.000000000 UTC", i);
        const auto writer = Create(tree.Root(), {started, "p", "i", "o", {}});
        ASSERT_FALSE(writer->Finish("done", {}).Failed());
        made.push_back(writer->Path());
    }
    PruneJournals(tree.Root());
    const std::vector<Journal> kept = ListJournals(tree.Root());
    ASSERT_EQ(kept.size(), kJournalsKept);
    EXPECT_EQ(kept.front().file, made.back()) << "newest first";
    EXPECT_EQ(kept.back().file, made[5]) << "the five oldest went";
}

// A run and its undo through the journal: the items get back every value they
// had, except one changed since the run, which is left alone unless forced;
// the undo can be undone in turn, and a cancel stops an undo.
TEST(Journal, UndoPutsBackARunAndCanItselfBeUndone) {
    TempFolder tree;
    TempFolder elsewhere;
    const std::string a = tree.File("a.txt");
    const std::string b = tree.File("sub/b.txt");
    const std::string sub = tree.Path("sub");
    SetDistinctTimes(a, ItemType::File, 1'000'000'000);
    SetDistinctTimes(b, ItemType::File, 1'100'000'000);
    SetDistinctTimes(sub, ItemType::Folder, 1'200'000'000);
    const std::uint32_t wordA = WordOf(a);
    const ItemTimes beforeA = TimesOf(a);
    const ItemTimes beforeB = TimesOf(b);
    const ItemTimes beforeSub = TimesOf(sub);
    Job job = SetModified(tree.Root());
    job.times = Copy(TimeKind::Modified, TimeKind::Accessed, true);
    job.attributes = {AttributeAction::Set, false, false, false, true};
    job.filter = "*.txt";
    const std::string journals = elsewhere.Path("journals");
    std::unique_ptr<JournalWriter> journal;
    ASSERT_FALSE(StartJournal(journals, "test", job, journal).Failed());
    platform::SysError journalError;
    ClearCancel();
    EXPECT_EQ(RunWithJournal(job, {}, journal.get(), journalError).failed, 0u);
    EXPECT_FALSE(journalError.Failed());
    EXPECT_EQ(TimesOf(a).modified, beforeA.accessed);
    const FileTime later{1'600'000'000, 700};
    ASSERT_FALSE(
        platform::WriteItemTimes(b, ItemType::File, {std::nullopt, later, std::nullopt}).Failed());

    const Journal run = Read(journal->Path());
    EXPECT_EQ(run.changes.size(), 4u) << "two files, sub and the chosen folder";
    std::unique_ptr<JournalWriter> undoJournal;
    ASSERT_FALSE(StartUndoJournal(journals, "test", run, undoJournal).Failed());
    Recorder recorder;
    RunCallbacks callbacks;
    callbacks.failure = [&](const Failure& failure) { recorder.failures.push_back(failure); };
    const UndoOutcome undone =
        UndoWithJournal(run, false, callbacks, undoJournal.get(), journalError);
    EXPECT_EQ(undone.restored, 3u);
    EXPECT_EQ(undone.skipped, 1u);
    EXPECT_EQ(undone.failed, 0u);
    ASSERT_EQ(recorder.failures.size(), 1u);
    EXPECT_EQ(recorder.failures[0].item, b);
    EXPECT_EQ(recorder.failures[0].step, FailedStep::ChangedSince);
    EXPECT_EQ(TimesOf(a).modified, beforeA.modified);
    EXPECT_EQ(TimesOf(a).accessed, beforeA.accessed);
    EXPECT_EQ(WordOf(a), wordA);
    EXPECT_EQ(TimesOf(sub).modified, beforeSub.modified);
    EXPECT_EQ(TimesOf(b).modified, later);
    EXPECT_FALSE(Read(run.file).undoneBy.empty()) << "the run knows it was undone";
    EXPECT_EQ(UndoJournal(run, true, {}).restored, 4u);
    EXPECT_EQ(TimesOf(b).modified, beforeB.modified) << "forced";

    const Journal undo = Read(undoJournal->Path());
    RequestCancel();
    const UndoOutcome cancelled = UndoJournal(undo, false, {});
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.restored, 0u);
    ClearCancel();
    EXPECT_EQ(UndoJournal(undo, false, {}).restored, undo.changes.size());
    EXPECT_EQ(TimesOf(a).modified, beforeA.accessed) << "the run again";
}

// The journal takes each change before it is made: one it cannot take is
// not made, and the item fails.
TEST(Journal, ChangeTheJournalCannotTakeIsNotMade) {
    TempFolder tree;
    for (const char* name : {"a.txt", "b.txt"})
        Prepare(tree.File(name));
    Recorder recorder;
    recorder.beforeWrite = [&](const ItemReport& planned) {
        return planned.path == tree.Path("a.txt") ? platform::MakeSysError(ENOSPC)
                                                  : platform::SysError{};
    };
    EXPECT_EQ(recorder.Run(SetModified(tree.Root(), Mode::FilesOnly)), "done 2 0 1 2");
    ASSERT_EQ(recorder.failures.size(), 1u);
    EXPECT_EQ(recorder.failures[0].step, FailedStep::Journal);
    EXPECT_EQ(recorder.failures[0].reason.code, ENOSPC);
    EXPECT_EQ(TimesOf(tree.Path("a.txt")).modified, kOld);
    EXPECT_EQ(TimesOf(tree.Path("b.txt")).modified, kNew);
}

} // namespace
} // namespace stampwell::engine
