// The same job through the main window (offscreen) and through stampwell-cli,
// alternately in one run: the last-write time of 100,000 files in 1,000
// folders. Prints both times and their ratio (target: the window at most 1.3
// times the CLI's). Usage: bench_window_run STAMPWELL_CLI [ROUNDS] [PARENT_FOLDER]

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 100;

void MakeTree(const QString& tree) {
    for (int d = 0; d < kFolders; ++d) {
        const std::string folder = tree.toStdString() + "/d" + std::to_string(d);
        QDir().mkpath(QString::fromStdString(folder));
        for (int f = 0; f < kFilesPerFolder; ++f) {
            std::ofstream(folder + "/file" + std::to_string(f) + ".dat");
        }
    }
}

// Each run sets another second, so that every run really changes every file.
stampwell::platform::LocalDateTime Stamp(int run) {
    return stampwell::platform::LocalDateTime{2001, 2, 3, 4, 5 + run / 60, run % 60, 0};
}

double CliSeconds(const QString& cli, const QString& tree, int run) {
    const auto s = Stamp(run);
    const QString when = QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", s.year, s.month, s.day,
                                           s.hour, s.minute, s.second);
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(cli, {QStringLiteral("--touch"), QStringLiteral("files"), QStringLiteral("-r"),
                        QStringLiteral("--set"), QStringLiteral("modified=") + when, tree});
    process.waitForFinished(-1);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const QByteArray summary = process.readAllStandardOutput().trimmed().split('\n').last();
    if (summary != QByteArrayLiteral("files: 100000, folders: 0, failed: 0")) {
        std::fprintf(stderr, "unexpected CLI summary: %s\n", summary.constData());
        std::exit(1);
    }
    return seconds;
}

double WindowSeconds(const QString& tree, int run) {
    using stampwell::app::WriteIni;
    WriteIni("Options", "Path", tree.toStdString());
    WriteIni("Options", "Mode", "1");
    WriteIni("Options", "Recursive", "True");
    WriteIni("Options", "Filter", "*.*");
    WriteIni("Options", "Index", "2");
    WriteIni("Options", "Index3", "1");
    WriteIni("Options", "Attrib", "0");
    WriteIni("Options", "NewTime", stampwell::support::FormatDateTimeText(Stamp(run)));
    stampwell::ui::frmMain window;
    window.Load();
    window.show();
    QEventLoop loop;
    QObject::connect(&window, &stampwell::ui::frmMain::runFinished, &loop, &QEventLoop::quit);
    auto* exec = window.findChild<QPushButton*>(QStringLiteral("cmdExec"));
    if (!exec->isEnabled()) {
        std::fprintf(stderr, "the window's run button is not ready\n");
        std::exit(1);
    }
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(exec, Qt::LeftButton);
    loop.exec();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s STAMPWELL_CLI [ROUNDS] [PARENT_FOLDER]\n", argv[0]);
        return 2;
    }
    const QString cli = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir root(argc > 3 ? QString::fromLocal8Bit(argv[3]) + QStringLiteral("/bench-XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/bench-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    stampwell::app::GlobalState& global = stampwell::app::Global();
    global.DataPath = root.filePath(QStringLiteral("data")).toStdString();
    QDir().mkpath(QString::fromStdString(global.DataPath));
    global.IniFile = global.DataPath + "/Stampwell.ini";
    stampwell::app::CreateDefaultIni(global.DataPath);
    stampwell::app::LocateProgramFolders();
    global.CurrentLanguage = "English";

    const QString tree = root.filePath(QStringLiteral("tree"));
    std::printf("making %d files in %d folders under %s\n", kFolders * kFilesPerFolder, kFolders,
                qPrintable(tree));
    MakeTree(tree);

    double cliTotal = 0;
    double windowTotal = 0;
    int run = 6;
    for (int r = 1; r <= rounds; ++r) {
        const double cli_s = CliSeconds(cli, tree, run++);
        const double window_s = WindowSeconds(tree, run++);
        std::printf("round %d: stampwell-cli %.2f s, window %.2f s\n", r, cli_s, window_s);
        cliTotal += cli_s;
        windowTotal += window_s;
    }
    std::printf("stampwell-cli: %.2f s (mean of %d)\n", cliTotal / rounds, rounds);
    std::printf("window:        %.2f s (mean of %d)\n", windowTotal / rounds, rounds);
    std::printf("ratio:         %.2f (target at most 1.3)\n", windowTotal / cliTotal);
    return 0;
}
