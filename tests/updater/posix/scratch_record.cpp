#include "scratch_record.h"

#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <cstdio>

// The record file and the environment that points to it.
struct ScratchRecord::Place {
    stampwell::testing::TempFolder config;
    stampwell::testing::ScopedEnv home{"XDG_CONFIG_HOME", config.Root()};
    std::string lines;
};

ScratchRecord::ScratchRecord()
    : subKey_("Software\\Olvadi\\Quillbox\\StampupdateTest"), place_(std::make_unique<Place>()) {}

ScratchRecord::~ScratchRecord() = default;

void ScratchRecord::Put(const std::string& name, std::uint32_t type, const std::string& data) {
    std::string value;
    for (const char c : data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
        value += type == 1 ? std::string(c == '\\' || c == '"' ? "\\" : "") + c
                           : (value.empty() ? "" : ",") + std::string(hex);
    }
    place_->lines +=
        '"' + name +
        "\"=" + (type == 1 ? '"' + value + '"' : "hex(" + std::to_string(type) + "):" + value) +
        "\n";
    place_->config.File("Quillbox/registry.reg",
                        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + subKey_ +
                            "]\n" + place_->lines);
}
