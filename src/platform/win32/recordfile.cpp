#include "platform/recordfile.h"

#include "platform/win32/wide.h"

#include <mutex>
#include <windows.h>

namespace stampwell::platform {

namespace {

SysError WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return LastSysError();
        bytes.remove_prefix(written);
    }
    return {};
}

} // namespace

// Each record is handed to the system at once (a write the system keeps
// once the call returns); no other process may write the file meanwhile.
struct RecordFile::State {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::mutex mutex;
};

RecordFile::RecordFile() : state_(std::make_unique<State>()) {}

RecordFile::~RecordFile() {
    Close();
}

SysError RecordFile::Create(const std::string& path) {
    const HANDLE file =
        CreateFileW(win32::WidePath(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastSysError();
    state_->file = file;
    return {};
}

SysError RecordFile::Append(std::string_view bytes) {
    const std::lock_guard lock(state_->mutex);
    if (state_->file == INVALID_HANDLE_VALUE)
        return MakeSysError(ERROR_INVALID_HANDLE);
    return WriteAll(state_->file, bytes);
}

SysError RecordFile::Sync() {
    const std::lock_guard lock(state_->mutex);
    if (state_->file != INVALID_HANDLE_VALUE && !FlushFileBuffers(state_->file))
        return LastSysError();
    return {};
}

SysError RecordFile::Close() {
    const std::lock_guard lock(state_->mutex);
    if (state_->file == INVALID_HANDLE_VALUE)
        return {};
    SysError error;
    if (!FlushFileBuffers(state_->file))
        error = LastSysError();
    CloseHandle(state_->file);
    state_->file = INVALID_HANDLE_VALUE;
    return error;
}

bool IsRecordFileInUse(const std::string& path) {
    // The writer shares reading only: an open for writing fails while it runs.
    const HANDLE file = CreateFileW(win32::WidePath(path).c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}

SysError AppendToFile(const std::string& path, std::string_view bytes) {
    const HANDLE file = CreateFileW(win32::WidePath(path).c_str(), FILE_APPEND_DATA, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastSysError();
    SysError error = WriteAll(file, bytes);
    if (!error.Failed() && !FlushFileBuffers(file))
        error = LastSysError();
    CloseHandle(file);
    return error;
}

namespace {

SysError ReadAt(HANDLE file, std::uint64_t offset, std::size_t count, std::string& bytes) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
        return LastSysError();
    bytes.resize(count);
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(count - done), &got, nullptr))
            return LastSysError();
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return {};
}

} // namespace

SysError ReadFileEnds(const std::string& path, std::size_t head, std::size_t tail,
                      std::string& first, std::string& last, std::uint64_t& size) {
    first.clear();
    last.clear();
    const HANDLE file = CreateFileW(win32::WidePath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastSysError();
    LARGE_INTEGER length{};
    SysError error;
    if (!GetFileSizeEx(file, &length)) {
        error = LastSysError();
    } else {
        size = static_cast<std::uint64_t>(length.QuadPart);
        if (size <= head + tail) {
            error = ReadAt(file, 0, static_cast<std::size_t>(size), first);
        } else {
            error = ReadAt(file, 0, head, first);
            if (!error.Failed())
                error = ReadAt(file, size - tail, tail, last);
        }
    }
    CloseHandle(file);
    return error;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileExW(win32::WidePath(folder + "\\*").c_str(), FindExInfoBasic,
                                         &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = win32::Narrow(data.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(win32::WidePath(path).c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

SysError RemoveFile(const std::string& path) {
    return DeleteFileW(win32::WidePath(path).c_str()) ? SysError{} : LastSysError();
}

} // namespace stampwell::platform
