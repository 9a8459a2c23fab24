#pragma once

#include <windows.h>

// Owners of the kernel's handles: each closes its handle when it goes away.
namespace stampwell::platform::win32 {

// A file or folder handle from CreateFileW or NtCreateFile. Movable.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Reset(); }
    FileHandle(FileHandle&& other) noexcept : handle_(other.Release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }

    // Closes the handle held so far and takes over another one (or none).
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (Valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

    // Gives the handle up to the caller, who closes it.
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A listing handle from FindFirstFileExW.
class FindHandle {
public:
    FindHandle() = default;
    ~FindHandle() { Reset(); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

    // Closes the listing held so far and takes over another one (or none).
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (Valid())
            FindClose(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace stampwell::platform::win32
