#pragma once

#include "platform/win32/wide.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>
#include <winioctl.h>

// A fresh folder under the temporary folder for one test, removed with
// everything in it (long paths and read-only items included) at the end.
// Paths are UTF-8 / WTF-8 as the program passes them around.
class Scratch {
public:
    Scratch() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        std::wstring base = temp;
        if (base.back() == L'\\')
            base.pop_back();
        for (unsigned i = GetTickCount();; ++i) {
            const std::wstring candidate = base + L"\\stampwell-" + std::to_wstring(i);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                root_ = stampwell::platform::win32::Narrow(candidate);
                return;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
        ADD_FAILURE() << "no temporary folder";
    }
    ~Scratch() { Remove(Extended(root_)); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& name) const { return root_ + "\\" + name; }

    // Creates an empty file (or one of the given size) and returns its path.
    std::string File(const std::string& name, LONGLONG size = 0) const {
        const std::string path = Path(name);
        const HANDLE h = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << "cannot create " << path;
        if (h != INVALID_HANDLE_VALUE) {
            if (size > 0) {
                LARGE_INTEGER end{};
                end.QuadPart = size;
                EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
            }
            CloseHandle(h);
        }
        return path;
    }

    std::string Folder(const std::string& name) const {
        const std::string path = Path(name);
        EXPECT_TRUE(CreateDirectoryW(Extended(path).c_str(), nullptr)) << "cannot create " << path;
        return path;
    }

    // Turns the empty folder `link` into a junction to the folder `target` (an
    // absolute path); Windows lets every user make one. False when the file
    // system refuses.
    static bool MakeJunction(const std::string& link, const std::string& target) {
        const std::wstring substitute = L"\\??\\" + stampwell::platform::win32::Widen(target);
        const std::wstring print = stampwell::platform::win32::Widen(target);
        // REPARSE_DATA_BUFFER for a mount point: tag, length, reserved, four
        // offsets and lengths, then both names with their NULs.
        const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
        std::vector<char> buffer(16 + names);
        const auto put16 = [&](std::size_t at, std::size_t value) {
            const auto v = static_cast<WORD>(value);
            memcpy(buffer.data() + at, &v, sizeof v);
        };
        const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
        memcpy(buffer.data(), &tag, sizeof tag);
        put16(4, 8 + names);
        put16(8, 0);
        put16(10, substitute.size() * sizeof(wchar_t));
        put16(12, (substitute.size() + 1) * sizeof(wchar_t));
        put16(14, print.size() * sizeof(wchar_t));
        memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
        memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
               (print.size() + 1) * sizeof(wchar_t));
        const HANDLE h =
            CreateFileW(Extended(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        DWORD returned = 0;
        const bool made =
            DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                            static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
        CloseHandle(h);
        return made;
    }

    // The \\?\ form of any path, for helpers that must reach past 260 characters.
    static std::wstring Extended(const std::string& path) {
        return L"\\\\?\\" + stampwell::platform::win32::Widen(path);
    }

private:
    static void Remove(const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (folder && !link) {
            WIN32_FIND_DATAW data{};
            const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                do {
                    const std::wstring name = data.cFileName;
                    if (name != L"." && name != L"..")
                        Remove(path + L"\\" + name);
                } while (FindNextFileW(find, &data));
                FindClose(find);
            }
        }
        if (folder)
            RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    }

    std::string root_;
};
