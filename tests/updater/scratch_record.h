#pragma once

#include <cstdint>
#include <memory>
#include <string>

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

    // A value of the registry's type number: for REG_SZ (1) the UTF-8 text,
    // for any other type its raw bytes.
    void Put(const std::string& name, std::uint32_t type, const std::string& data);

private:
    struct Place;
    std::string subKey_;
    std::unique_ptr<Place> place_;
};
