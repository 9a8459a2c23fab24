#include "platform/userstore.h"

#include "app/constants.h"
#include "scratch.h"

#include <cstdlib>

using namespace stampwell;

namespace {

const fuzz::ScratchFolder kFolder;

// The store's file lives in the scratch folder for the whole run.
int PointStoreAtScratch() {
    return setenv("XDG_CONFIG_HOME", kFolder.Path().c_str(), 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Expect(PointStoreAtScratch() == 0);
    fuzz::Expect(platform::UserStoreFile().starts_with(kFolder.Path().string()));
    return 0;
}

// A store file as Stampwell reads it back: the record's values and a setting.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::WriteFile(platform::UserStoreFile(), data, size);
    for (const char* name : {"Version", "Language"})
        platform::ReadUserString(std::string(app::kRegistryKey), name);
    platform::ReadUserString("Software\\" + std::string(app::kSettingsApplication) + "\\" +
                                 std::string(app::kSettingsSection),
                             "BGColor");
    return 0;
}
