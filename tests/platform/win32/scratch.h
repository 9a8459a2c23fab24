#pragma once

#include "platform/win32/wide.h"
#include "testing/tempfolder.h"

#include <string>
#include <windows.h>

// A temporary folder for the Windows tests, which also reach past 260
// characters: what is in it is removed through \\?\ paths first.
class Scratch : public stampwell::testing::TempFolder {
public:
    ~Scratch() { RemoveContents(Extended(Root())); }

    // The \\?\ form of an absolute path, for reaching past 260 characters.
    static std::wstring Extended(const std::string& path) {
        return L"\\\\?\\" + stampwell::platform::win32::Widen(path);
    }

    // Creates an empty file at a path of any length; false when refused.
    static bool Create(const std::string& path) {
        const HANDLE h =
            CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        return h != INVALID_HANDLE_VALUE && CloseHandle(h);
    }

private:
    // Removes what a folder holds, read-only items and links included; links
    // are removed, never followed.
    static void RemoveContents(const std::wstring& folder) {
        WIN32_FIND_DATAW data{};
        const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
        for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
            const std::wstring path = folder + L"\\" + data.cFileName;
            if (data.cFileName == std::wstring(L".") || data.cFileName == std::wstring(L".."))
                continue;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(path.c_str());
            else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveContents(path);
            RemoveDirectoryW(path.c_str());
        }
        FindClose(find);
    }
};
