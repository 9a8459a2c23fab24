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

// Text quoted with its escapes, anything else as regedit's hex(type) list.
void ScratchRecord::Put(const std::string& name, std::uint32_t type, const std::string& data) {
    std::string value = type == 1 ? "\"" : "hex(" + std::to_string(type) + "):";
    for (const char c : data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, ",%02x", static_cast<unsigned char>(c));
        value += type != 1 ? hex + (value.ends_with(':') ? 1 : 0)
                           : std::string(c == '\\' || c == '"' ? "\\" : "") + c;
    }
    place_->lines += '"' + name + "\"=" + value + (type == 1 ? "\"\n" : "\n");
    place_->config.File("Quillbox/registry.reg",
                        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + subKey_ +
                            "]\n" + place_->lines);
}
