// The time from process start to the main window shown, offscreen, on an
// existing profile (target: under 0.5 s). The parent starts this program again
// as a child that goes through Stampwell's start-up exactly as the program
// does and reports once its main window is exposed; the parent times the
// child from its start to that report. As a reference it also times a child
// that shows an empty Qt window, alternately. Usage: bench_startup [ROUNDS]

#include "app/startup.h"

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int Shown(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    std::printf("shown\n");
    std::fflush(stdout);
    return 0;
}

int EmptyWindowChild(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    return Shown(window);
}

int Child(int argc, char** argv) {
    using namespace stampwell;
    QApplication application(argc, argv);
    app::LocateProgramFolders();
    app::StartupHooks hooks;
    hooks.askForLanguage = []() -> std::optional<std::string> {
        std::fprintf(stderr, "the profile has no language\n");
        std::exit(1);
    };
    hooks.defaultIniFailed = [](const std::string&, const platform::SysError&) {};
    app::RunStartup(hooks);
    ui::frmMain window;
    window.Load();
    return Shown(window);
}

// Seconds from the child's start to its report.
double TimeChild(const char* mode) {
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
    child.waitForReadyRead(-1);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!child.readAllStandardOutput().startsWith("shown")) {
        std::fprintf(stderr, "the child did not show its window\n");
        std::exit(1);
    }
    child.waitForFinished(-1);
    return seconds;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        return Child(argc, argv);
    }
    if (argc > 1 && std::strcmp(argv[1], "--empty") == 0) {
        return EmptyWindowChild(argc, argv);
    }
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    QCoreApplication app(argc, argv);
    // An existing profile: the data folder, Stampwell.ini with a language.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    stampwell::app::GlobalState& global = stampwell::app::Global();
    global.DataPath = (config.path() + QStringLiteral("/Quillbox/Stampwell")).toStdString();
    QDir().mkpath(QString::fromStdString(global.DataPath));
    global.IniFile = global.DataPath + "/Stampwell.ini";
    stampwell::app::CreateDefaultIni(global.DataPath);
    stampwell::app::WriteIni("Options", "Language", "English");
    stampwell::app::WriteIni("Options", "Path", QDir::homePath().toStdString());

    std::vector<double> stampwell;
    std::vector<double> empty;
    for (int r = 0; r < rounds; ++r) {
        stampwell.push_back(TimeChild("--child"));
        empty.push_back(TimeChild("--empty"));
    }
    const double ours = Median(stampwell);
    const double reference = Median(empty);
    std::printf("start to main window shown: median %.3f s of %d starts (target under 0.5 s)\n",
                ours, rounds);
    std::printf("start to an empty Qt window shown: median %.3f s; ratio %.2f\n", reference,
                ours / reference);
    return 0;
}
