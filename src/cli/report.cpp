#include "cli/report.h"

namespace stampwell::cli {

namespace {

using engine::FailedStep;
using engine::KindBit;
using engine::TimeKind;

std::string KindNames(engine::TimeKindSet kinds) {
    std::string names;
    const auto add = [&](TimeKind kind, const char* name) {
        if ((kinds & KindBit(kind)) == 0)
            return;
        if (!names.empty())
            names += ", ";
        names += name;
    };
    add(TimeKind::Created, "created");
    add(TimeKind::Modified, "modified");
    add(TimeKind::Accessed, "accessed");
    return names;
}

std::string AttributeNames(std::uint32_t bits) {
    std::string names;
    const auto add = [&](std::uint32_t bit, const char* name) {
        if ((bits & bit) == 0)
            return;
        if (!names.empty())
            names += ", ";
        names += name;
    };
    add(engine::kAttrArchive, "archive");
    add(engine::kAttrReadOnly, "readonly");
    add(engine::kAttrSystem, "system");
    add(engine::kAttrHidden, "hidden");
    return names;
}

std::string StepText(const engine::Failure& failure) {
    const std::string kinds = " (" + KindNames(failure.kinds) + ")";
    const std::string attributes = " (" + AttributeNames(failure.attributes) + ")";
    switch (failure.step) {
    case FailedStep::ListFolder:
        return "cannot list the folder";
    case FailedStep::ReadAttributes:
        return "cannot read the attributes";
    case FailedStep::WriteAttributes:
        return "cannot write the attributes" + attributes;
    case FailedStep::AttributesNotKept:
        return "the file system did not keep the attributes" + attributes;
    case FailedStep::ReadTimes:
        return "cannot read the times";
    case FailedStep::TimeUnknown:
        return "the file system keeps no time to take" + kinds;
    case FailedStep::WriteTimes:
        return "cannot write the times" + kinds;
    case FailedStep::TimesNotKept:
        return "the file system did not keep the times" + kinds + "; the old times were put back";
    case FailedStep::RestoreTimes:
        return "cannot put the old times back" + kinds;
    case FailedStep::Replaced:
        return "no longer the item found (replaced or moved); left alone";
    case FailedStep::Journal:
        return "cannot write the journal; left alone";
    case FailedStep::ChangedSince:
        return "changed or replaced since the run; left alone";
    case FailedStep::NotRestored:
        return "the old values did not come back" + kinds + attributes;
    }
    return {};
}

} // namespace

std::string DescribeItem(const engine::ItemReport& report) {
    std::string done;
    if (const auto kinds = engine::KindsOf(report.times.update); kinds != 0)
        done = "times " + KindNames(kinds);
    const std::uint32_t changed = report.attributes.before ^ report.attributes.after;
    if ((changed & report.attributes.after) != 0)
        done += (done.empty() ? "" : "; ") + std::string("set ") +
                AttributeNames(changed & report.attributes.after);
    if ((changed & report.attributes.before) != 0)
        done += (done.empty() ? "" : "; ") + std::string("cleared ") +
                AttributeNames(changed & report.attributes.before);
    if (done.empty())
        done = "unchanged";
    if (!report.failures.empty())
        done = "FAILED (" + done + " planned)";
    return report.path + ": " + done;
}

std::string DescribeFailure(const engine::Failure& failure) {
    std::string line = failure.item + ": " + StepText(failure);
    if (failure.reason.Failed())
        line += ": " + failure.reason.text;
    return line;
}

std::string SummaryLine(const engine::Outcome& outcome) {
    return "files: " + std::to_string(outcome.files) +
           ", folders: " + std::to_string(outcome.folders) +
           ", failed: " + std::to_string(outcome.failed);
}

int ExitCode(const engine::Outcome& outcome) {
    if (outcome.ending == engine::Ending::Cancelled)
        return 130;
    return outcome.failed == 0 ? 0 : 1;
}

} // namespace stampwell::cli
