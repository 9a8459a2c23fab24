#pragma once

#include "platform/syserror.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace stampwell::platform {

// A file that takes records, for a journal of changes: a record outlasts the
// process the moment Append returns (a kill loses nothing appended; a power
// loss may lose what came after the last Sync). Appending is cheap (no system
// call for most records) and safe from two threads at once. While it is
// open, IsRecordFileInUse tells other processes so.
class RecordFile {
public:
    RecordFile();
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Creates a new file, readable by its owner only; fails for a name that
    // exists (EEXIST / ERROR_FILE_EXISTS).
    SysError Create(const std::string& path);

    SysError Append(std::string_view bytes);

    // Makes what was appended durable.
    SysError Sync();

    // Trims the file to what was appended, makes it durable and closes it.
    SysError Close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Whether a RecordFile of a running process has the file open.
bool IsRecordFileInUse(const std::string& path);

// Appends to an existing file that no process has open as a RecordFile.
SysError AppendToFile(const std::string& path, std::string_view bytes);

// Reads at most `head` bytes from the start of a file and at most `tail`
// from its end (all of it, in `first`, when it is no longer than both);
// `size` is the file's size.
SysError ReadFileEnds(const std::string& path, std::size_t head, std::size_t tail,
                      std::string& first, std::string& last, std::uint64_t& size);

// The names of the entries of a folder (no "." and ".."), unsorted; empty
// when it cannot be listed. And an entry's size, and its removal.
std::vector<std::string> FolderEntries(const std::string& folder);
std::uint64_t FileSize(const std::string& path);
SysError RemoveFile(const std::string& path);

} // namespace stampwell::platform
