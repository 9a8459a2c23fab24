#include "app/ini.h"
#include "app/textcodec.h"
#include "scratch.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace stampwell::app;
using stampwell::fuzz::Expect;

namespace {

const stampwell::fuzz::ScratchFolder kFolder;

} // namespace

// A language file read as the windows read it, text by number from each of
// their sections; every text comes out as UTF-8, whatever the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string key = "t" + std::to_string(input.ConsumeIntegralInRange(0, 99));
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const auto file = kFolder.Path() / "Fuzz.lng";
    stampwell::fuzz::WriteFile(file, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                               bytes.size());
    for (const char* section : {"SWfrmMain", "SWdlgAbout", "SWdlgSettings", "dlgLangSelect"}) {
        const std::string text = ReadIniValue(file.string(), section, key, "-");
        Expect(IsValidUtf8(text));
    }
    return 0;
}
