#include "scratch.h"
#include "updater/modRegistry.h"
#include "updater/record_file.h"

#include <cstdlib>
#include <string_view>

using namespace stampupdate;

namespace {

const stampwell::fuzz::ScratchFolder kFolder;
constexpr std::string_view kKey = "Software\\Olvadi\\Quillbox\\Stampwell";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    stampwell::fuzz::Expect(setenv("XDG_CONFIG_HOME", kFolder.Path().c_str(), 1) == 0);
    return 0;
}

// A record file as Stampupdate reads it: parsed whole, then the two values it
// asks for through the registry key, as text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RecordFile record = RecordFile::Parse(bytes);
    if (const RecordValues* values = record.Key("HKEY_CURRENT_USER\\" + std::string(kKey)))
        FindValue(*values, "Version");
    Utf16LeToUtf8(bytes);

    stampwell::fuzz::WriteFile(kFolder.Path() / "Quillbox" / "registry.reg", data, size);
    for (const char* name : {"Version", "Language"})
        ReadRegistryText(RootKey::CurrentUser, std::string(kKey), name);
    return 0;
}
