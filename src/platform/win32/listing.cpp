#include "platform/listing.h"

#include "platform/wildcard.h"
#include "platform/win32/at.h"
#include "platform/win32/handle.h"
#include "platform/win32/ticks.h"
#include "platform/win32/wide.h"

#include <optional>
#include <vector>
#include <windows.h>
#include <winternl.h>

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE routine,
                                               PVOID context, PIO_STATUS_BLOCK io, PVOID buffer,
                                               ULONG length, FILE_INFORMATION_CLASS type,
                                               BOOLEAN single, PUNICODE_STRING mask,
                                               BOOLEAN restart);

namespace stampwell::platform {

// A listing through a path is FindFirstFileExW's; one through an open folder
// asks the file system directly, on a handle of its own opened relative to
// the folder's, and matches the names itself with the Windows rules (no 8.3
// names), the same on every Windows and under Wine.
struct FolderListing::State {
    win32::FindHandle find;
    WIN32_FIND_DATAW data{};
    bool pending = false; // data holds an entry not yet delivered

    win32::FileHandle folder;
    std::optional<WildcardPattern> pattern; // absent: every name
    bool queried = false;
    // Whole entries, 8-byte aligned as the system writes them; a large buffer
    // asks the file system for many entries per call.
    std::vector<ULONGLONG> buffer;
    std::size_t offset = 0; // of the next entry in the buffer
    std::size_t filled = 0; // bytes the last query delivered
};

namespace {

constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006);
constexpr NTSTATUS kNoSuchFile = static_cast<NTSTATUS>(0xC000000F);
constexpr std::size_t kBufferBytes = 64 * 1024;

bool IsDotEntry(std::wstring_view name) {
    return name == L"." || name == L"..";
}

FILETIME Ticks(const LARGE_INTEGER& value) {
    return {value.LowPart, static_cast<DWORD>(value.HighPart)};
}

// What both listings report of an entry; `tag` is the reparse tag.
void Fill(std::wstring_view name, DWORD attributes, DWORD tag, std::uint64_t size,
          const FILETIME& created, const FILETIME& modified, const FILETIME& accessed,
          ListedEntry& entry) {
    entry.name = win32::Narrow(name);
    entry.isLink = win32::NamesAnotherItem({attributes, tag});
    entry.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !entry.isLink;
    entry.hasDetails = true;
    entry.attributes = attributes;
    entry.size = size;
    // A creation time of zero is the file system saying it keeps none.
    entry.times.created.reset();
    if (created.dwLowDateTime != 0 || created.dwHighDateTime != 0)
        entry.times.created = win32::FromTicks(created);
    entry.times.modified = win32::FromTicks(modified);
    entry.times.accessed = win32::FromTicks(accessed);
}

// The folder's own handle for reading it. With the right to write its
// attributes, the handle is told to leave the folder's access time alone;
// without that right, it is opened to read alone.
SysError OpenForListing(HANDLE folder, win32::FileHandle& listing) {
    constexpr ULONG kOptions = FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT;
    if (win32::OpenAt(folder, "",
                      {FILE_LIST_DIRECTORY | FILE_WRITE_ATTRIBUTES, win32::kShareAll, kOptions},
                      listing)
            .Failed())
        return win32::OpenAt(folder, "", {FILE_LIST_DIRECTORY, win32::kShareAll, kOptions},
                             listing);
    const FILETIME keepAccessTime = {0xFFFFFFFF, 0xFFFFFFFF};
    SetFileTime(listing.Get(), nullptr, &keepAccessTime, nullptr);
    return {};
}

} // namespace

FolderListing::FolderListing(const std::string& folder, const std::string& pattern)
    : state_(std::make_unique<State>()) {
    std::string spec = folder;
    if (!spec.empty() && spec.back() != '\\' && spec.back() != '/')
        spec += '\\';
    spec += pattern;
    // Basic information leaves out the 8.3 name; large fetches ask the file
    // system for many entries per call.
    HANDLE find = FindFirstFileExW(win32::WidePath(spec).c_str(), FindExInfoBasic, &state_->data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        // No matching entry is an empty listing, not a failure.
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND && code != ERROR_NO_MORE_FILES)
            error_ = MakeSysError(static_cast<int>(code));
        return;
    }
    state_->find.Reset(find);
    state_->pending = true;
}

FolderListing::FolderListing(const OpenFolder& folder, const std::string& pattern)
    : state_(std::make_unique<State>()) {
    State& state = *state_;
    error_ = OpenForListing(reinterpret_cast<HANDLE>(folder.Native()), state.folder);
    if (!pattern.empty() && !WildcardPattern(pattern).MatchesEveryName())
        state.pattern.emplace(pattern);
    state.buffer.resize(kBufferBytes / sizeof(ULONGLONG));
}

FolderListing::~FolderListing() = default;

bool FolderListing::Next(ListedEntry& entry) {
    State& state = *state_;
    while (state.find.Valid()) {
        if (!state.pending && !FindNextFileW(state.find.Get(), &state.data)) {
            const DWORD code = GetLastError();
            if (code != ERROR_NO_MORE_FILES)
                error_ = MakeSysError(static_cast<int>(code));
            state.find.Reset();
            return false;
        }
        state.pending = false;
        const WIN32_FIND_DATAW& data = state.data;
        if (IsDotEntry(data.cFileName))
            continue;
        // The tag is where the reserved word is.
        Fill(data.cFileName, data.dwFileAttributes, data.dwReserved0,
             (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
             data.ftCreationTime, data.ftLastWriteTime, data.ftLastAccessTime, entry);
        return true;
    }
    while (state.folder.Valid()) {
        if (state.offset >= state.filled) {
            const bool first = !state.queried;
            state.queried = true;
            IO_STATUS_BLOCK io{};
            const NTSTATUS status = NtQueryDirectoryFile(
                state.folder.Get(), nullptr, nullptr, nullptr, &io, state.buffer.data(),
                kBufferBytes, FileFullDirectoryInformation, FALSE, nullptr, first);
            if (!NT_SUCCESS(status)) {
                // No matching entry is an empty listing, not a failure.
                if (status != kNoMoreFiles && !(first && status == kNoSuchFile))
                    error_ = win32::StatusError(status);
                state.folder.Reset();
                return false;
            }
            state.offset = 0;
            state.filled = io.Information;
        }
        const auto* const bytes = reinterpret_cast<const unsigned char*>(state.buffer.data());
        const auto& found =
            *reinterpret_cast<const FILE_FULL_DIR_INFORMATION*>(bytes + state.offset);
        state.offset =
            found.NextEntryOffset == 0 ? state.filled : state.offset + found.NextEntryOffset;
        const std::wstring_view name(found.FileName, found.FileNameLength / sizeof(wchar_t));
        if (IsDotEntry(name))
            continue;
        // For a reparse point the tag is where the size of extended attributes would be.
        Fill(name, found.FileAttributes, found.EaSize,
             static_cast<std::uint64_t>(found.EndOfFile.QuadPart), Ticks(found.CreationTime),
             Ticks(found.LastWriteTime), Ticks(found.LastAccessTime), entry);
        if (state.pattern && !state.pattern->Matches(entry.name))
            continue;
        return true;
    }
    return false;
}

} // namespace stampwell::platform
