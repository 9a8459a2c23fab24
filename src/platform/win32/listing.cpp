#include "platform/listing.h"

#include "platform/win32/handle.h"
#include "platform/win32/ticks.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

struct FolderListing::State {
    win32::FindHandle find;
    WIN32_FIND_DATAW data{};
    bool pending = false; // data holds an entry not yet delivered
};

namespace {

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') ||
           (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

void Fill(const WIN32_FIND_DATAW& data, ListedEntry& entry) {
    entry.name = win32::Narrow(data.cFileName);
    // A reparse point that names another item (symbolic link, junction,
    // mount point) is a link; others, such as a cloud placeholder, are the
    // item itself. The tag is only valid with the reparse-point attribute.
    const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.isLink = reparse && IsReparseTagNameSurrogate(data.dwReserved0);
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !entry.isLink;
    entry.hasDetails = true;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const FILETIME& created = data.ftCreationTime;
    if (created.dwLowDateTime == 0 && created.dwHighDateTime == 0)
        entry.times.created.reset();
    else
        entry.times.created = win32::FromTicks(created);
    entry.times.modified = win32::FromTicks(data.ftLastWriteTime);
    entry.times.accessed = win32::FromTicks(data.ftLastAccessTime);
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
        if (IsDotEntry(state.data.cFileName))
            continue;
        Fill(state.data, entry);
        return true;
    }
    return false;
}

} // namespace stampwell::platform
