#include "scratch_record.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string HexList(const std::vector<unsigned char>& bytes) {
    std::string list;
    for (const unsigned char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        list += list.empty() ? "" : ",";
        list += pair;
    }
    return list;
}

} // namespace

ScratchRecord::ScratchRecord() : subKey_("Software\\Olvadi\\Quillbox\\StampupdateTest") {
    folder_ =
        (fs::temp_directory_path() / ("stampupdate-test-" + std::to_string(std::random_device{}())))
            .string();
    fs::create_directories(fs::path(folder_) / "Quillbox");
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        hadConfigHome_ = true;
        savedConfigHome_ = old;
    }
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
}

ScratchRecord::~ScratchRecord() {
    if (hadConfigHome_) {
        setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void ScratchRecord::Add(const std::string& name, const std::string& data) {
    lines_.push_back('"' + name + "\"=" + data);
    std::ofstream file(fs::path(folder_) / "Quillbox" / "registry.reg", std::ios::binary);
    file << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" << subKey_ << "]\n";
    for (const std::string& line : lines_) {
        file << line << '\n';
    }
}

void ScratchRecord::PutText(const std::string& name, const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
        }
        escaped += c;
    }
    Add(name, '"' + escaped + '"');
}

void ScratchRecord::PutBinary(const std::string& name, const std::vector<unsigned char>& bytes) {
    Add(name, "hex:" + HexList(bytes));
}

void ScratchRecord::PutDword(const std::string& name, std::uint32_t value) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", value);
    Add(name, std::string("dword:") + digits);
}
