#pragma once

#include "engine/failure.h"
#include "platform/attributes.h"

#include <cstdint>
#include <optional>
#include <string>

// The four user-visible attributes of files and folders: Archive, Read-only,
// System, Hidden, with Windows' bit values on every platform.
namespace stampwell::engine {

using platform::kAttrArchive;
using platform::kAttrDirectory;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::kAttrSystem;

// The order in which a run takes the attributes (the check boxes' order).
inline constexpr std::uint32_t kAttributeOrder[4] = {kAttrArchive, kAttrReadOnly, kAttrSystem,
                                                     kAttrHidden};

// True when `bit` is one of the four attributes and set in `word`.
bool FileHasAttr(std::uint32_t word, std::uint32_t bit);
bool FolderHasAttr(std::uint32_t word, std::uint32_t bit);

// Each reads the item's word afresh, writes only a changed word and reads it
// back; nothing happens for a bit that is not one of the four. The result is
// the failure, or nothing when the item has (or already had) what was asked.
std::optional<Failure> SetFileAttr(std::uint32_t bit, const std::string& path);
std::optional<Failure> ClearFileAttr(std::uint32_t bit, const std::string& path);
std::optional<Failure> SetFolderAttr(std::uint32_t bit, const std::string& path);
std::optional<Failure> ClearFolderAttr(std::uint32_t bit, const std::string& path);

// The attribute operation of a run.
enum class AttributeAction { None, Set, Clear };

struct AttributeOperation {
    AttributeAction action = AttributeAction::None;
    bool archive = false;
    bool readOnly = false;
    bool system = false;
    bool hidden = false;

    // The checked attributes as bits.
    std::uint32_t Bits() const;
};

// What an attribute operation does to one item: the word as read and the word
// it gets (equal when nothing changes).
struct AttributeChange {
    std::uint32_t before = 0;
    std::uint32_t after = 0;
};

// The word an item with `word` gets: each checked attribute in the run's order
// is set or cleared, every other bit stays as read.
std::uint32_t PlanAttributes(std::uint32_t word, const AttributeOperation& operation);

} // namespace stampwell::engine
