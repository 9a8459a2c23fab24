#include "updater/modRegistry.h"
#include "updater/record_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include "testing/environment.h"
#include "testing/tempfolder.h"

#include <cstdio>
#endif

using namespace stampupdate;
using namespace std::string_literals;

namespace {

// A throwaway key under HKEY_CURRENT_USER for one test: a real registry key on
// Windows, elsewhere a record file in a temporary config folder that
// $XDG_CONFIG_HOME points to while the object lives. Both go with the object.
// Put takes a value of the registry's type number: for REG_SZ (1) the UTF-8
// text, for any other type its raw bytes.
class ScratchRecord {
public:
#ifdef _WIN32
    const std::string subKey =
        "Software\\Olvadi\\Quillbox\\StampupdateTest" + std::to_string(GetCurrentProcessId());

    ~ScratchRecord() {
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen(subKey).c_str());
    }

    void Put(const std::string& name, std::uint32_t type, const std::string& data) {
        // The key is made with its first value.
        const std::wstring text = Widen(data);
        const bool sz = type == REG_SZ;
        RegSetKeyValueW(HKEY_CURRENT_USER, Widen(subKey).c_str(), Widen(name).c_str(), type,
                        sz ? static_cast<const void*>(text.data()) : data.data(),
                        static_cast<DWORD>(sz ? text.size() * sizeof(wchar_t) : data.size()));
    }

private:
    static std::wstring Widen(const std::string& text) {
        const int count = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(count), L'\0'); // with the ending NUL
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), count);
        return wide;
    }
#else
    const std::string subKey = "Software\\Olvadi\\Quillbox\\StampupdateTest";

    // Text quoted with its escapes, anything else as regedit's hex(type) list.
    void Put(const std::string& name, std::uint32_t type, const std::string& data) {
        std::string value = type == 1 ? "\"" : "hex(" + std::to_string(type) + "):";
        for (const char c : data) {
            char hex[4];
            std::snprintf(hex, sizeof hex, ",%02x", static_cast<unsigned char>(c));
            value += type != 1 ? hex + (value.ends_with(':') ? 1 : 0)
                               : std::string(c == '\\' || c == '"' ? "\\" : "") + c;
        }
        lines += '"' + name + "\"=" + value + (type == 1 ? "\"\n" : "\n");
        config.File("Quillbox/registry.reg", "Windows Registry Editor Version 5.00\n\n"
                                             "[HKEY_CURRENT_USER\\" +
                                                 subKey + "]\n" + lines);
    }

private:
    const stampwell::testing::TempFolder config;
    const stampwell::testing::ScopedEnv home{"XDG_CONFIG_HOME", config.Root()};
    std::string lines;
#endif
};

// Text whole; two to four binary bytes as their first word, signed; anything
// longer, or another type, as nothing.
TEST(ModRegistry, TextFollowsTheValuesType) {
    for (const auto& [type, data, text] :
         std::vector<std::tuple<std::uint32_t, std::string, const char*>>{
             {kRegSz, "3.01.00", "3.01.00"},
             {kRegSz, "C:\\P\\\"Gr\u00fc\u00dfe\"", "C:\\P\\\"Gr\u00fc\u00dfe\""},
             {kRegBinary, "\x34\x12", "4660"},
             {kRegBinary, "\xFE\xFF", "-2"},
             {kRegBinary, "\x01\x00\xAA\xBB"s, "1"},
             {kRegBinary, "\x07\x00\x00\x00\x00"s, ""},
             {kRegDword, "\x07\x00\x00\x00"s, ""}}) {
        ScratchRecord record;
        record.Put("Value", type, data);
        EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.subKey, "VALUE"), text)
            << type << ": " << text;
    }
}

// A missing key or value gives empty text; nothing is read past the buffer
// the caller gives.
TEST(ModRegistry, MissingValuesAndValuesLargerThanTheBufferGiveNothing) {
    ScratchRecord record;
    record.Put("Version", kRegSz, "3.01.00");
    record.Put("Eight", kRegBinary, "\x01\x00\x00\x00\x00\x00\x00\x00"s);
    EXPECT_EQ(ReadRegistryText(RootKey::CurrentUser, record.subKey, "Language"), "");
    EXPECT_FALSE(RegistryKey::Open(RootKey::CurrentUser, record.subKey + "\\Missing"));
    const auto key = RegistryKey::Open(RootKey::CurrentUser, record.subKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadText("Version", key->Describe("Version")->size), "3.01.00");
    EXPECT_FALSE(key->ReadText("Version", 2));
    EXPECT_FALSE(key->ReadFourBytes("Eight"));
    EXPECT_EQ(key->Describe("Eight")->size, 8u);
    EXPECT_FALSE(key->ReadFourBytes("Missing") || key->Describe("Missing"));
}

} // namespace
