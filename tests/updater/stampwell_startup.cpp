// Runs Stampwell's own start-up sequence, up to the main window, in the
// profile that $XDG_CONFIG_HOME names: on a clean profile it creates the data
// folder and the default Stampwell.ini, takes the language given here as the
// language dialog's choice and writes the record that Stampupdate reads.
// Usage: stampwell_startup LANGUAGE
#include "app/modINIHandler.h"
#include "app/startup.h"

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stampwell_startup LANGUAGE\n");
        return 2;
    }
    const std::string language = argv[1];
    stampwell::app::LocateProgramFolders();
    stampwell::app::StartupHooks hooks;
    // What the language dialog does on OK: store the choice, then report it.
    hooks.askForLanguage = [&language]() -> std::optional<std::string> {
        stampwell::app::WriteIni("Options", "Language", language);
        return language;
    };
    bool iniFailed = false;
    hooks.defaultIniFailed = [&iniFailed](const std::string&,
                                          const stampwell::platform::SysError&) {
        iniFailed = true;
    };
    stampwell::app::RunStartup(hooks);
    return iniFailed ? 1 : 0;
}
