#pragma once

#include "platform/itemtimes.h"
#include "platform/syserror.h"

#include <cstdint>
#include <optional>
#include <string>

// Items reached through open folders. A run opens each folder once and does
// every later step on an item through that folder's handle and the item's
// single name, never following a link: a folder renamed or swapped for a
// link meanwhile cannot send a step anywhere else. An empty name is the
// folder itself.
namespace stampwell::platform {

// Who an item is: its volume and its number on it (device and inode on
// POSIX, volume serial number and file index on Windows).
struct ItemIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;

    bool operator==(const ItemIdentity&) const = default;
};

// What a name names at the moment it is read.
enum class ItemKind : std::uint8_t { File, Folder, Link, Other };

// What a run reads of an item before it touches it, and reads back after.
struct ItemState {
    ItemKind kind = ItemKind::File;
    ItemIdentity identity;
    ItemTimes times;
    std::uint32_t attributes = 0; // filled only when asked for
    std::uint32_t mode = 0;       // the POSIX mode bits; 0 on Windows
    // With the attributes: the bytes of the attribute word's own store beside
    // the mode (user.DOSATTRIB on POSIX), nothing when the item has none; on
    // Windows always nothing.
    std::optional<std::string> stored;
};

// An open folder. Movable, not copyable; closes its handle when it goes.
class OpenFolder {
public:
    OpenFolder() = default;
    ~OpenFolder();
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    bool IsOpen() const { return handle_ != kNone; }
    // The descriptor (POSIX) or HANDLE (Windows).
    std::intptr_t Native() const { return handle_; }
    const ItemIdentity& Identity() const { return identity_; }

    // Opens the folder a path names, as the user named it: links on the
    // way are followed, a last one too.
    static SysError Open(const std::string& path, OpenFolder& folder);

    // Opens the folder that holds the item a path names and gives the item's
    // name in it. With `followLast` a link named last is followed to the item
    // it names (which then is the item); otherwise the link is the item. A
    // path that names a root gives the root and an empty name.
    static SysError OpenParent(const std::string& path, bool followLast, OpenFolder& folder,
                               std::string& name);

    // Opens the folder `name` in this one. Nothing is followed: a name that
    // names a link, or anything but a folder, fails.
    SysError OpenChild(const std::string& name, OpenFolder& child) const;

private:
    static constexpr std::intptr_t kNone = -1;
    void Close();
    // OpenParent of a link's target, found by its path and checked to be
    // the item (`identity`) that the link led to.
    static SysError OpenParentOfTarget(const std::string& resolved, const ItemIdentity& identity,
                                       OpenFolder& folder, std::string& name);

    std::intptr_t handle_ = kNone;
    ItemIdentity identity_;
};

// Reads what a name in a folder names now (a link is the item itself): its
// kind, identity and times, and with `withAttributes` its attribute word.
// Without `withStoredCreation` (and without the attributes) a creation time
// kept in the attribute value's store is not looked for, which saves a read
// on POSIX: for a step that neither reads nor writes the creation time.
SysError ReadItemState(const OpenFolder& folder, const std::string& name, ItemType type,
                       bool withAttributes, ItemState& state, bool withStoredCreation = true);

// Writes the given times and nothing else (see WriteItemTimes).
SysError WriteItemTimesAt(const OpenFolder& folder, const std::string& name, ItemType type,
                          const TimesUpdate& update);

// Writes the attribute word (see WriteAttributes).
SysError WriteAttributesAt(const OpenFolder& folder, const std::string& name, ItemType type,
                           std::uint32_t word);

// Puts the item's attributes back exactly as `before` (read with its
// attributes) had them: on POSIX the mode bits and the stored bytes (removed
// again where there were none), on Windows the word.
SysError RestoreAttributesAt(const OpenFolder& folder, const std::string& name, ItemType type,
                             const ItemState& before);

} // namespace stampwell::platform
