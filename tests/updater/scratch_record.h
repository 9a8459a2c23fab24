#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A throwaway key under HKEY_CURRENT_USER for one test: a real registry key on
// Windows, elsewhere a record file in a temporary config folder that
// $XDG_CONFIG_HOME points to while the object lives. Both go with the object.
class ScratchRecord {
public:
    ScratchRecord();
    ScratchRecord(const ScratchRecord&) = delete;
    ScratchRecord& operator=(const ScratchRecord&) = delete;
    ~ScratchRecord();

    // The key below HKEY_CURRENT_USER.
    const std::string& SubKey() const { return subKey_; }

    void PutText(const std::string& name, const std::string& text);
    void PutBinary(const std::string& name, const std::vector<unsigned char>& bytes);
    void PutDword(const std::string& name, std::uint32_t value);

private:
    void Add(const std::string& name, const std::string& data);

    std::string subKey_;
    std::string folder_;
    std::string savedConfigHome_;
    bool hadConfigHome_ = false;
    std::vector<std::string> lines_; // the record file's value lines
};
