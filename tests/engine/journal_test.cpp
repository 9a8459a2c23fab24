#include "engine/items.h"

#include <cstdio>
#include <tuple>

namespace stampwell::engine {
namespace {

using namespace test;

TEST(JournalText, EscapesEveryByteThatCouldBreakALineAndReadsItBack) {
    const std::pair<std::string, std::string> cases[] = {
        {"back\\slash", "back\\\\slash"},
        {"new\nline\ttab\rcr", "new\\x0aline\\x09tab\\x0dcr"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"\x7f\x1b", "\\x7f\\x1b"},
        {"caf\xe9 \xc3\xa4", "caf\xe9 \xc3\xa4"},
    };
    std::string back;
    for (const auto& [raw, escaped] : cases) {
        EXPECT_EQ(EscapeJournalText(raw), escaped);
        EXPECT_TRUE(UnescapeJournalText(escaped, back));
        EXPECT_EQ(back, raw);
    }
    for (const char* bad : {"\\", "\\x4", "\\xzz", "\\q"})
        EXPECT_FALSE(UnescapeJournalText(bad, back)) << bad;
}

// The head says what a run does, in words, and when (UTC, also before 1970).
TEST(JournalText, DescribesTheJob) {
    Job job = SetModified("x", Mode::FilesOnly, false);
    job.times = SetTime(TimeKind::Accessed, {-11'644'473'600, 0});
    EXPECT_EQ(DescribeJob(job),
              "set accessed to 1601-01-01 00:00:00 UTC; files, without sub-folders, *.*");
    job.isFolder = false;
    job.times = Copy(TimeKind::Created, TimeKind::Modified);
    job.attributes = {AttributeAction::Clear, true, true, false, false};
    EXPECT_EQ(DescribeJob(job), "copy modified to created; clear archive read-only; the file");
}

// The line with a word (0 on) of a tab-separated field replaced; word -1: the
// whole field.
std::string Damaged(std::string line, int field, int word, const std::string& bad) {
    std::size_t start = 0;
    for (int i = 0; i < field; ++i)
        start = line.find('\t', start) + 1;
    for (int i = 0; i < word; ++i)
        start = line.find(' ', start) + 1;
    return line.replace(start, line.find_first_of(word < 0 ? "\t" : " \t", start) - start, bad);
}

// Runs begun in the same instant still list in the order they began.
TEST(Journal, KeepsTheNewestFiftyRuns) {
    TempFolder tree;
    std::vector<std::string> made;
    for (std::size_t i = 0; i < kJournalsKept + 5; ++i) {
        std::unique_ptr<JournalWriter> writer;
        const JournalHead head{"2026-01-01 00:00:00.000000000 UTC", "p", "i", "o", {}};
        ASSERT_FALSE(JournalWriter::Create(tree.Root(), head, writer).Failed());
        ASSERT_FALSE(writer->Finish("done", {}).Failed());
        made.push_back(writer->Path());
    }
    PruneJournals(tree.Root());
    const std::vector<Journal> kept = ListJournals(tree.Root());
    ASSERT_EQ(kept.size(), kJournalsKept);
    for (std::size_t k = 0; k < kept.size(); ++k)
        EXPECT_EQ(kept[k].file, made[made.size() - 1 - k]) << "newest first, the five oldest gone";
}

// A run and its undo through the journal: the items get back every value they
// had, except one changed since the run, which is left alone unless forced;
// the undo can be undone in turn.
TEST(Journal, UndoPutsBackARunAndCanItselfBeUndone) {
    TempFolder tree;
    const std::string journals = tree.Path("journals");
    const std::string a = tree.File("run/a.txt");
    const std::string b = tree.File("run/sub/b.txt");
    const std::string sub = tree.Path("run/sub");
    SetDistinctTimes(a, 1'000'000'000);
    SetDistinctTimes(b, 1'100'000'000);
    SetDistinctTimes(sub, 1'200'000'000);
    const std::uint32_t wordA = WordOf(a);
    const ItemTimes beforeA = TimesOf(a);
    const FileTime beforeB = TimesOf(b).modified;
    const FileTime beforeSub = TimesOf(sub).modified;
    Job job = SetModified(tree.Path("run"));
    job.times = Copy(TimeKind::Modified, TimeKind::Accessed, true);
    job.attributes = {AttributeAction::Set, false, false, false, true};
    EXPECT_EQ(RunJournalled(job, journals).failed, 0u);
    const FileTime later{1'600'000'000, 700};
    ASSERT_FALSE(platform::WriteItemTimes(b, ItemType::File, {{}, later, {}}).Failed());

    const Journal run = Read(ListJournals(journals).front().file);
    // A change with a value that cannot be read is damaged and left out: a
    // line with a field or word replaced (type, identity, times, attribute
    // word, mode, stored bytes, written word).
    const std::string text = testing::ReadBytes(run.file);
    const std::size_t line = text.find("change\t");
    const std::size_t end = text.find('\n', line);
    const std::tuple<int, int, const char*> damages[] = {
        {1, -1, "X"}, {2, -1, "2049"}, {3, 0, "-"},  {3, 1, "1.5"}, {3, 3, "2g"},
        {3, 4, "9"},  {3, 5, "303"},   {3, 5, "3g"}, {4, 3, "x"},   {4, -1, "- - -"}};
    for (const auto& [field, word, bad] : damages) {
        const std::string damaged = Damaged(text.substr(line, end - line), field, word, bad);
        testing::WriteBytes(run.file, text.substr(0, line) + damaged + text.substr(end));
        EXPECT_EQ(Read(run.file).damaged, 1u) << damaged;
    }
    // A process killed while it copied a line into the journal leaves zeros
    // after a part of it, or inside it: the line is not taken (the piece
    // after the zeros is damaged), the rest are.
    const std::size_t cut = text.rfind('\t', end) + 3;
    const std::pair<std::string, std::size_t> torn[] = {
        {text.substr(0, cut) + std::string(64, '\0'), 0},
        {text.substr(0, cut) + std::string(8, '\0') + text.substr(cut + 8), 3}};
    for (const auto& [bytes, changes] : torn) {
        testing::WriteBytes(run.file, bytes);
        EXPECT_EQ(Read(run.file).changes.size(), changes);
        EXPECT_EQ(Read(run.file).damaged, changes == 0 ? 0u : 1u);
    }
    testing::WriteBytes(run.file, text);
    const UndoOutcome undone = UndoNewest(journals);
    EXPECT_EQ(undone.restored, 3u);
    EXPECT_EQ(undone.skipped, 1u) << "b, changed since";
    EXPECT_EQ(TimesOf(a).modified, beforeA.modified);
    EXPECT_EQ(TimesOf(a).accessed, beforeA.accessed);
    EXPECT_EQ(WordOf(a), wordA);
    EXPECT_EQ(TimesOf(sub).modified, beforeSub);
    EXPECT_EQ(TimesOf(b).modified, later);
    EXPECT_EQ(UndoJournal(run, true, {}).restored, 4u);
    EXPECT_EQ(TimesOf(b).modified, beforeB) << "forced";

    const Journal undo = Read(ListJournals(journals).front().file);
    EXPECT_EQ(UndoJournal(undo, false, {}).restored, undo.changes.size());
    EXPECT_EQ(TimesOf(a).modified, beforeA.accessed) << "the run again";
}

// The journal takes each change before it is made: one it cannot take is
// not made, and the item fails.
TEST_F(RunTree, ChangeTheJournalCannotTakeIsNotMade) {
    Recorder recorder;
    recorder.also.beforeWrite = [&](const ItemReport& planned) {
        return planned.path == tree_.Path("a.txt") ? platform::MakeSysError(ENOSPC)
                                                   : platform::SysError{};
    };
    Check({Mode::FilesOnly, false, "", "*.*", "done 2 0 1 0", "b.dat", CancelAt::Never, true,
           "a.txt", FailedStep::Journal},
          recorder);
}

// A file put in the place of the one the run changed, with the values the
// run wrote, is another item: the undo leaves it alone.
TEST(Journal, UndoLeavesAnItemPutInThePlaceOfTheOneChanged) {
    TempFolder tree;
    const std::string a = tree.File("a.txt");
    Prepare(a);
    EXPECT_EQ(RunJournalled(SetModified(a, Mode::SingleFile), tree.Path("j")).failed, 0u);
    ASSERT_EQ(std::rename(a.c_str(), tree.Path("moved.txt").c_str()), 0);
    ASSERT_EQ(std::rename(tree.File("other.txt").c_str(), a.c_str()), 0);
    ASSERT_FALSE(platform::WriteItemTimes(a, ItemType::File, {{}, kNew, {}}).Failed());
    EXPECT_EQ(UndoNewest(tree.Path("j")).skipped, 1u);
    EXPECT_EQ(TimesOf(a).modified, kNew);
}

} // namespace
} // namespace stampwell::engine
