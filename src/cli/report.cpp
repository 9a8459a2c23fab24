#include "cli/report.h"

#include "cli/shellquote.h"
#include "platform/localtime.h"

#include <vector>

namespace stampwell::cli {

namespace {

using engine::FailedStep;
using engine::KindBit;
using engine::TimeKind;

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<const char*>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// "modified time", "created and accessed times".
std::string TimesNamed(engine::TimeKindSet kinds) {
    std::vector<const char*> names;
    for (const auto& [kind, name] :
         {std::pair{TimeKind::Created, "created"}, std::pair{TimeKind::Modified, "modified"},
          std::pair{TimeKind::Accessed, "accessed"}})
        if ((kinds & KindBit(kind)) != 0)
            names.push_back(name);
    return Listed(names) + (names.size() == 1 ? " time" : " times");
}

// "archive", "readonly and hidden": the names the options take.
std::string AttributesNamed(std::uint32_t bits) {
    std::vector<const char*> names;
    for (const auto& [bit, name] :
         {std::pair{engine::kAttrArchive, "archive"}, std::pair{engine::kAttrReadOnly, "readonly"},
          std::pair{engine::kAttrSystem, "system"}, std::pair{engine::kAttrHidden, "hidden"}})
        if ((bits & bit) != 0)
            names.push_back(name);
    return Listed(names);
}

std::string Because(const engine::Failure& failure) {
    return failure.reason.Failed() ? ": " + failure.reason.text : std::string();
}

// "archive: not set: why" for the bits to be set, "hidden: not cleared: why"
// for those to be cleared (`wanted` is the word the item was to get).
void AttributesNotDone(std::uint32_t bits, std::uint32_t wanted, const std::string& how,
                       std::vector<std::string>& parts) {
    if ((bits & wanted) != 0)
        parts.push_back(AttributesNamed(bits & wanted) + ": not set" + how);
    if ((bits & ~wanted) != 0)
        parts.push_back(AttributesNamed(bits & ~wanted) + ": not cleared" + how);
}

// What a failed step did not do, and why.
void NotDone(const engine::Failure& failure, const engine::AttributeChange& attributes,
             std::vector<std::string>& parts) {
    const std::uint32_t changing = attributes.before ^ attributes.after;
    const std::string because = Because(failure);
    switch (failure.step) {
    case FailedStep::ListFolder:
        parts.push_back("folder not searched" + because);
        return;
    case FailedStep::ReadAttributes:
        // Before the write nothing is planned yet; after it, the bits written.
        if ((failure.attributes & changing) == 0)
            parts.push_back("attributes: not read" + because);
        else
            parts.push_back(AttributesNamed(failure.attributes & changing) +
                            ": written, but not read back" + because);
        return;
    case FailedStep::WriteAttributes:
        AttributesNotDone(failure.attributes & changing, attributes.after, because, parts);
        return;
    case FailedStep::AttributesNotKept:
        AttributesNotDone(failure.attributes, attributes.after,
                          ": the file system did not keep the change", parts);
        return;
    case FailedStep::ReadTimes:
        if (failure.kinds == 0)
            parts.push_back("times: not read" + because);
        else
            parts.push_back(TimesNamed(failure.kinds) + ": written, but not read back" + because);
        return;
    case FailedStep::TimeUnknown:
        parts.push_back("times: not changed: the file system keeps no " +
                        TimesNamed(failure.kinds));
        return;
    case FailedStep::WriteTimes:
        parts.push_back(TimesNamed(failure.kinds) + ": not set" + because);
        return;
    case FailedStep::TimesNotKept:
        parts.push_back(TimesNamed(failure.kinds) +
                        ": not set: the file system did not keep the value; the old times were "
                        "put back");
        return;
    case FailedStep::RestoreTimes:
        parts.push_back(TimesNamed(failure.kinds) + ": old value not put back" + because);
        return;
    case FailedStep::Replaced:
        parts.push_back("left alone: no longer the item found (replaced by a link or another "
                        "item)" +
                        because);
        return;
    case FailedStep::Journal:
        parts.push_back("left alone: the journal could not take it" + because);
        return;
    case FailedStep::ChangedSince:
        parts.push_back("skipped: changed or replaced since the run" + because);
        return;
    case FailedStep::NotRestored:
        parts.push_back("old values not back: the file system did not keep them");
        return;
    }
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
}

} // namespace

std::string DescribeItem(const engine::ItemReport& report) {
    // What was planned, less what a failed step concerns.
    engine::TimeKindSet timesSet = engine::KindsOf(report.times.update);
    std::uint32_t changed = report.attributes.before ^ report.attributes.after;
    for (const engine::Failure& failure : report.failures) {
        // Times not kept are all put back, those that were kept too.
        timesSet &= failure.step == FailedStep::TimesNotKept
                        ? 0
                        : static_cast<engine::TimeKindSet>(~failure.kinds);
        changed &= ~failure.attributes;
    }
    std::vector<std::string> parts;
    if (timesSet != 0)
        parts.push_back(TimesNamed(timesSet) + " set");
    if ((changed & report.attributes.after) != 0)
        parts.push_back(AttributesNamed(changed & report.attributes.after) + " set");
    if ((changed & report.attributes.before) != 0)
        parts.push_back(AttributesNamed(changed & report.attributes.before) + " cleared");
    for (const engine::Failure& failure : report.failures)
        NotDone(failure, report.attributes, parts);
    if (parts.empty())
        parts.push_back("unchanged");
    return ShellQuoted(report.path) + ": " + Joined(parts);
}

std::string DescribeFailure(const engine::Failure& failure) {
    std::vector<std::string> parts;
    NotDone(failure, {}, parts);
    return ShellQuoted(failure.item) + ": " + Joined(parts);
}

void Treated::Count(const engine::ItemReport& report) {
    ++(report.type == engine::ItemType::Folder ? folders : files);
}

std::string SummaryLine(const engine::Outcome& outcome, const Treated& treated) {
    return "files: " + std::to_string(treated.files) +
           ", folders: " + std::to_string(treated.folders) +
           ", failed: " + std::to_string(outcome.failed);
}

int ExitCode(const engine::Outcome& outcome) {
    if (outcome.ending == engine::Ending::Cancelled)
        return 130;
    return outcome.failed == 0 ? 0 : 1;
}

namespace {

constexpr const char* kKindNames[] = {"created", "modified", "accessed"};

std::string LocalText(const std::optional<platform::FileTime>& time) {
    if (!time)
        return "none";
    const platform::LocalDateTime local = platform::ToLocal(*time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%09u", local.year, local.month,
                  local.day, local.hour, local.minute, local.second, local.nanoseconds);
    return text;
}

// The days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// Local time with its offset from UTC, as --set reads it back.
std::string ExactText(const std::optional<platform::FileTime>& time) {
    if (!time)
        return "none";
    const platform::LocalDateTime local = platform::ToLocal(*time);
    const std::int64_t wall = DaysFromCivil(local.year, static_cast<unsigned>(local.month),
                                            static_cast<unsigned>(local.day)) *
                                  86400 +
                              local.hour * 3600 + local.minute * 60 + local.second;
    const std::int64_t offset = (wall - time->seconds) / 60;
    const std::int64_t minutes = offset < 0 ? -offset : offset;
    char zone[16];
    std::snprintf(zone, sizeof zone, " %c%02d:%02d", offset < 0 ? '-' : '+',
                  static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
    return LocalText(time) + zone;
}

} // namespace

std::string DescribeState(const platform::ItemState& state) {
    std::string text;
    for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed})
        text += std::string(kKindNames[static_cast<int>(kind)]) + ": " +
                ExactText(engine::TimeOf(state.times, kind)) + "\n";
    for (const std::uint32_t bit : engine::kAttributeOrder)
        text += AttributesNamed(bit) + ((state.attributes & bit) != 0 ? ": set\n" : ": clear\n");
    return text;
}

std::string DescribePlan(const engine::ItemReport& report) {
    std::vector<std::string> parts;
    for (const TimeKind kind : {TimeKind::Created, TimeKind::Modified, TimeKind::Accessed}) {
        const auto wanted = engine::TimeOf(report.times.update, kind);
        if (wanted && report.times.before)
            parts.push_back(std::string(kKindNames[static_cast<int>(kind)]) + " " +
                            LocalText(engine::TimeOf(*report.times.before, kind)) + " -> " +
                            LocalText(wanted));
    }
    const std::uint32_t changing = report.attributes.before ^ report.attributes.after;
    for (const std::uint32_t bit : engine::kAttributeOrder)
        if ((changing & bit) != 0)
            parts.push_back(AttributesNamed(bit) + ((report.attributes.after & bit) != 0
                                                        ? ": clear -> set"
                                                        : ": set -> clear"));
    for (const engine::Failure& failure : report.failures)
        NotDone(failure, report.attributes, parts);
    return ShellQuoted(report.path) + ": " + (parts.empty() ? "unchanged" : Joined(parts));
}

std::string DescribeJournal(const engine::Journal& journal, bool running) {
    std::string how = journal.ended ? journal.endLine : running ? "running" : "cut short";
    if (!journal.undoneBy.empty())
        how += ", undone";
    else if (journal.kept)
        how += ", kept as it is";
    return journal.head.started + "  " + journal.head.program + "  " +
           ShellQuoted(journal.head.item) + "  " + journal.head.operations + "  (" + how + ")  " +
           ShellQuoted(journal.file);
}

std::string UndoSummaryLine(const engine::UndoOutcome& outcome) {
    return "restored: " + std::to_string(outcome.restored) +
           ", skipped: " + std::to_string(outcome.skipped) +
           ", failed: " + std::to_string(outcome.failed);
}

} // namespace stampwell::cli
