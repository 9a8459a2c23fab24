#include "engine/modAttributes.h"

namespace stampwell::engine {

namespace {

constexpr std::uint32_t kUserBits = kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden;

bool IsAttribute(std::uint32_t bit) {
    return bit == kAttrArchive || bit == kAttrReadOnly || bit == kAttrSystem || bit == kAttrHidden;
}

Failure MakeFailure(const std::string& path, FailedStep step, platform::SysError reason,
                    std::uint32_t bits) {
    return Failure{path, step, std::move(reason), bits, 0};
}

// Writes `wanted` when it differs from `word` and checks that the item kept
// the bits in `concerned`.
std::optional<Failure> WriteChecked(const std::string& path, std::uint32_t word,
                                    std::uint32_t wanted, std::uint32_t concerned) {
    if ((wanted & kUserBits) == (word & kUserBits))
        return std::nullopt;
    // The directory bit is the platform's own; it is never written.
    if (auto error = platform::WriteAttributes(path, wanted & ~kAttrDirectory); error.Failed())
        return MakeFailure(path, FailedStep::WriteAttributes, std::move(error), concerned);
    std::uint32_t kept = 0;
    if (auto error = platform::ReadAttributes(path, kept); error.Failed())
        return MakeFailure(path, FailedStep::ReadAttributes, std::move(error), concerned);
    const std::uint32_t lost = (kept ^ wanted) & concerned;
    if (lost != 0)
        return MakeFailure(path, FailedStep::AttributesNotKept, {}, lost);
    return std::nullopt;
}

std::optional<Failure> ChangeOne(std::uint32_t bit, const std::string& path, bool set) {
    if (!IsAttribute(bit))
        return std::nullopt;
    std::uint32_t word = 0;
    if (auto error = platform::ReadAttributes(path, word); error.Failed())
        return MakeFailure(path, FailedStep::ReadAttributes, std::move(error), bit);
    const std::uint32_t wanted = set ? (word | bit) : (word & ~bit);
    return WriteChecked(path, word, wanted, bit);
}

} // namespace

bool FileHasAttr(std::uint32_t word, std::uint32_t bit) {
    return IsAttribute(bit) && (word & bit) != 0;
}

bool FolderHasAttr(std::uint32_t word, std::uint32_t bit) {
    return FileHasAttr(word, bit);
}

std::optional<Failure> SetFileAttr(std::uint32_t bit, const std::string& path) {
    return ChangeOne(bit, path, true);
}

std::optional<Failure> ClearFileAttr(std::uint32_t bit, const std::string& path) {
    return ChangeOne(bit, path, false);
}

std::optional<Failure> SetFolderAttr(std::uint32_t bit, const std::string& path) {
    return ChangeOne(bit, path, true);
}

std::optional<Failure> ClearFolderAttr(std::uint32_t bit, const std::string& path) {
    return ChangeOne(bit, path, false);
}

std::uint32_t AttributeOperation::Bits() const {
    return (archive ? kAttrArchive : 0) | (readOnly ? kAttrReadOnly : 0) |
           (system ? kAttrSystem : 0) | (hidden ? kAttrHidden : 0);
}

std::uint32_t PlanAttributes(std::uint32_t word, const AttributeOperation& operation) {
    const std::uint32_t checked = operation.Bits();
    for (const std::uint32_t bit : kAttributeOrder) {
        if ((checked & bit) == 0)
            continue;
        if (operation.action == AttributeAction::Set)
            word |= bit;
        else if (operation.action == AttributeAction::Clear)
            word &= ~bit;
    }
    return word;
}

} // namespace stampwell::engine
