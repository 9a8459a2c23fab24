#pragma once

#include "platform/win32/wide.h"
#include "testing/tempfolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <windows.h>

// A temporary folder for the Windows tests, which also reach past 260
// characters: what is in it is removed through \\?\ paths first.
class Scratch : public stampwell::testing::TempFolder {
public:
    ~Scratch() { RemoveContents(Extended(Root())); }

    // The path of `name` as given, '/' included.
    std::string Path(const std::string& name) const { return Root() + "\\" + name; }

    // Creates an empty file (or one of the given size, without writing it).
    std::string File(const std::string& name, std::uintmax_t size = 0) const {
        const std::string path = TempFolder::File(name, "");
        std::filesystem::resize_file(stampwell::testing::FromPathText(path), size);
        return path;
    }

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

    // Makes a junction (which Windows lets every user make) at `link` to the
    // folder `target`; false when none was made.
    static bool MakeJunction(const std::string& link, const std::string& target) {
        const std::wstring command = L"mklink /J \"" + stampwell::platform::win32::Widen(link) +
                                     L"\" \"" + stampwell::platform::win32::Widen(target) +
                                     L"\" >NUL 2>NUL";
        _wsystem(command.c_str());
        const DWORD attributes = GetFileAttributesW(Extended(link).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
