#include "updater/record_file.h"

#include <gtest/gtest.h>

using namespace stampupdate;

namespace {

const char kKey[] = "HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell";

std::vector<unsigned char> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<unsigned char> Text(std::string_view text) {
    auto bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
}

// The text as regedit saves it: UTF-16LE with a byte-order mark.
std::string Utf16File(std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

} // namespace

TEST(RecordFile, ReadsStampwellsRecord) {
    const auto file =
        RecordFile::Parse("Windows Registry Editor Version 5.00\n"
                          "\n"
                          "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\n"
                          "\"Version\"=\"3.01.00\"\n"
                          "\"Language\"=\"en\"\n");
    const RecordValues* values = file.Key(kKey);
    ASSERT_NE(values, nullptr);
    ASSERT_EQ(values->size(), 2u);
    EXPECT_EQ(values->at("version").type, kRegSz);
    EXPECT_EQ(values->at("version").data, Text("3.01.00"));
    EXPECT_EQ(values->at("language").data, Text("en"));
}

TEST(RecordFile, ReadsUtf16WithCrLfAsRegeditWritesIt) {
    const auto file =
        RecordFile::Parse(Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n"
                                    "\"Version\"=\"3.01.00\"\r\n"
                                    "\"Flag\"=hex:01,00,\\\r\n"
                                    "  02,00\r\n"));
    const RecordValues* values = file.Key(kKey);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->at("version").data, Text("3.01.00"));
    EXPECT_EQ(values->at("flag").data, (std::vector<unsigned char>{1, 0, 2, 0}));
}

TEST(RecordFile, SkipsAUtf8ByteOrderMark) {
    const auto file = RecordFile::Parse("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n"
                                        "[HKEY_CURRENT_USER\\A]\n\"x\"=\"y\"\n");
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\A"), nullptr);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\A")->at("x").data, Text("y"));
}

TEST(RecordFile, UnescapesBackslashesAndQuotesInNamesAndTexts) {
    const auto file = RecordFile::Parse("[HKEY_CURRENT_USER\\A]\n"
                                        "\"Pa\\\"th\"=\"C:\\\\x\\\\\\\"q\\\"\"\n"
                                        "\"Umlaut\"=\"Gr\xC3\xBC\xC3\x9F"
                                        "e\"\n"
                                        "@=\"default\"\n");
    const RecordValues* values = file.Key("HKEY_CURRENT_USER\\A");
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->at("pa\"th").data, Text("C:\\x\\\"q\""));
    EXPECT_EQ(values->at("umlaut").data, Text("Gr\xC3\xBC\xC3\x9F"
                                              "e"));
    EXPECT_EQ(values->at("").data, Text("default"));
}

TEST(RecordFile, ReadsEveryValueForm) {
    const auto file = RecordFile::Parse("[HKEY_CURRENT_USER\\A]\n"
                                        "\"Bin\"=hex:0a,FF,\\\n"
                                        "    10\n"
                                        "\"Empty\"=hex:\n"
                                        "\"Dword\"=dword:0000abcd\n"
                                        "\"Expand\"=hex(2):25,00,00,00\n"
                                        "\"Wide\"=hex(1):48,00,fc,00,00,00\n");
    const RecordValues* values = file.Key("HKEY_CURRENT_USER\\A");
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->at("bin").type, kRegBinary);
    EXPECT_EQ(values->at("bin").data, (std::vector<unsigned char>{0x0A, 0xFF, 0x10}));
    EXPECT_TRUE(values->at("empty").data.empty());
    EXPECT_EQ(values->at("dword").type, kRegDword);
    EXPECT_EQ(values->at("dword").data, (std::vector<unsigned char>{0xCD, 0xAB, 0, 0}));
    EXPECT_EQ(values->at("expand").type, 2u);
    EXPECT_EQ(values->at("wide").type, kRegSz);
    EXPECT_EQ(values->at("wide").data, Text("H\xC3\xBC"));
}

TEST(RecordFile, KeysIgnoreCaseAndParentsOfKeysExist) {
    const auto file =
        RecordFile::Parse("[hkey_current_user\\SOFTWARE\\Olvadi\\Quillbox\\Stampwell]\n"
                          "\"Version\"=\"3.01.00\"\n");
    ASSERT_NE(file.Key(kKey), nullptr);
    EXPECT_EQ(file.Key(kKey)->size(), 1u);
    ASSERT_NE(file.Key("HKEY_CURRENT_USER\\Software\\Olvadi"), nullptr);
    EXPECT_TRUE(file.Key("HKEY_CURRENT_USER\\Software\\Olvadi")->empty());
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\Software\\Olv"), nullptr);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell\\Sub"), nullptr);
}

TEST(RecordFile, LaterLinesWinAndRemovalsApply) {
    const auto file = RecordFile::Parse("[HKEY_CURRENT_USER\\A]\n"
                                        "\"Version\"=\"1\"\n"
                                        "\"Gone\"=\"x\"\n"
                                        "[HKEY_CURRENT_USER\\A\\B]\n"
                                        "\"x\"=\"y\"\n"
                                        "[HKEY_CURRENT_USER\\A]\n"
                                        "\"Version\"=\"2\"\n"
                                        "\"Gone\"=-\n"
                                        "[-HKEY_CURRENT_USER\\A\\B]\n"
                                        "\"Orphan\"=\"not in any key\"\n");
    const RecordValues* values = file.Key("HKEY_CURRENT_USER\\A");
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->at("version").data, Text("2"));
    EXPECT_EQ(values->count("gone"), 0u);
    EXPECT_EQ(values->count("orphan"), 0u);
    EXPECT_EQ(file.Key("HKEY_CURRENT_USER\\A\\B"), nullptr);
}

TEST(RecordFile, DamagedLinesArePassedOverAndTheRestKept) {
    const auto file = RecordFile::Parse("\"Before\"=\"no key yet\"\n"
                                        "[HKEY_CURRENT_USER\\A]\n"
                                        "\"Open\"=\"no closing quote\n"
                                        "\"Junk\"=\"x\" trailing\n"
                                        "\"BadHex\"=hex:01,zz\n"
                                        "\"Wide\"=hex:100\n"
                                        "\"BadDword\"=dword:12345678901\n"
                                        "\"Unknown\"=str:abc\n"
                                        "NoQuotes=\"x\"\n"
                                        "; a comment\n"
                                        "\"Good\"=\"kept\"\n"
                                        "[Unclosed\n"
                                        "\"Also\"=\"kept\"\n");
    const RecordValues* values = file.Key("HKEY_CURRENT_USER\\A");
    ASSERT_NE(values, nullptr);
    ASSERT_EQ(values->size(), 2u);
    EXPECT_EQ(values->at("good").data, Text("kept"));
    EXPECT_EQ(values->at("also").data, Text("kept"));
}

TEST(RecordFile, EmptyOrForeignTextHasNoKeys) {
    EXPECT_EQ(RecordFile::Parse("").Key("HKEY_CURRENT_USER"), nullptr);
    EXPECT_EQ(RecordFile::Parse("\x89PNG\r\n\x1A\n\0\0").Key("HKEY_CURRENT_USER"), nullptr);
}

TEST(Utf16LeToUtf8, DecodesPairsAndReplacesLoneSurrogates) {
    using namespace std::string_view_literals;
    EXPECT_EQ(Utf16LeToUtf8("A\0\xAC\x20"sv), "A\xE2\x82\xAC");
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8\x00\xDE"sv), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8\x00\xDC\xFF\xDB\xFF\xDF"sv),
              "\xF0\x9F\x90\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf16LeToUtf8("\x3D\xD8"
                            "b\0"sv),
              "\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Utf16LeToUtf8("\x00\xDC"sv), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16LeToUtf8("a\0b"sv), "a");
}
