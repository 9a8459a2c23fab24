// The main window's 75 texts read from a language file grown to 100,000 lines
// (the shipped file after a long section of padding), as LoadLanguage reads
// them, one ReadLang each, against one read and parse of that file. The ratio
// is near 1 when the file is taken in once; near 75 when every text reads and
// parses the whole file again. Usage: bench_langfile LANGUAGE_FILE

#include "app/ini.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/textcodec.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

double MillisecondsToRead(const std::string& file) {
    stampwell::app::Global().LanguageFilePath = file;
    const auto start = std::chrono::steady_clock::now();
    std::size_t characters = 0;
    for (int i = 0; i < 75; ++i)
        characters += stampwell::app::ReadLang("SWfrmMain", "t" + std::to_string(i), "").size();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (characters == 0)
        std::fprintf(stderr, "no texts read from %s\n", file.c_str());
    return took.count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LANGUAGE_FILE\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream shipped;
    shipped << in.rdbuf();
    const std::string large =
        (std::filesystem::temp_directory_path() / "bench-langfile.lng").string();
    {
        std::ofstream out(large, std::ios::binary);
        out << "[Padding]\r\n";
        for (int i = 0; i < 100000; ++i)
            out << "k" << i << "=padding\r\n";
        out << shipped.str();
    }
    const auto start = std::chrono::steady_clock::now();
    std::ifstream again(large, std::ios::binary);
    std::ostringstream bytes;
    bytes << again.rdbuf();
    const bool found =
        stampwell::app::FindIniValue(stampwell::app::DecodeText(bytes.str()), "SWfrmMain", "t0")
            .has_value();
    const std::chrono::duration<double, std::milli> once = std::chrono::steady_clock::now() - start;
    const double texts = MillisecondsToRead(large);
    std::filesystem::remove(large);
    std::printf("one pass: %.2f ms%s, 75 texts: %.2f ms, ratio %.1f\n", once.count(),
                found ? "" : " (t0 missing)", texts, texts / once.count());
    return 0;
}
