#include "app/dlgLangSelect.h"
#include "app/modGlobal.h"
#include "app/startup.h"
#include "platform/userstore.h"
#include "testing/tempfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace stampwell::app;
using stampwell::platform::ReadUserString;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;

namespace {

constexpr const char* kRecord = "Software\\Olvadi\\Quillbox\\Stampwell";

} // namespace

// Start-up with the real language dialog on a profile in a temporary
// XDG_CONFIG_HOME; the "user" answers the dialog from a timer.
class StartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> config_;
    int dialogs_ = 0;
    QStringList listed_;
    bool pressOk_ = true;

    StartupHooks Hooks() {
        StartupHooks hooks;
        hooks.askForLanguage = [this] {
            ++dialogs_;
            dlgLangSelect dialog;
            QTimer::singleShot(0, &dialog, [this, &dialog] {
                for (int i = 0; i < dialog.dxLanguage->count(); ++i)
                    listed_ << dialog.dxLanguage->itemText(i);
                if (pressOk_)
                    QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
                else
                    dialog.close();
            });
            dialog.exec();
            return dialog.Chosen();
        };
        hooks.defaultIniFailed = [](const std::string&, const stampwell::platform::SysError&) {
            QFAIL("the default file must be written");
        };
        return hooks;
    }
    std::string Ini() const { return config_->Path("Quillbox/Stampwell/Stampwell.ini"); }

private slots:
    void init() {
        config_ = std::make_unique<TempFolder>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_->Root()));
        Global() = GlobalState{};
        Global().LanguageFolder = STAMPWELL_LANG_DIR;
        dialogs_ = 0;
        listed_.clear();
        pressOk_ = true;
    }
    void cleanup() {
        Global() = GlobalState{};
        config_.reset();
    }

    void firstStartAsksAndRecordsTheLanguage() {
        RunStartup(Hooks());
        QCOMPARE(dialogs_, 1);
        QCOMPARE(listed_, (QStringList{"Deutsch", "English"}));
        QVERIFY(ReadBytes(Ini()).find("\r\nLanguage=English\r\n") != std::string::npos);
        QCOMPARE(Global().CurrentLanguage, std::string("English"));
        QCOMPARE(ReadUserString(kRecord, "Version"), std::optional<std::string>("3.01.00"));
        QCOMPARE(ReadUserString(kRecord, "Language"), std::optional<std::string>("en"));
        QCOMPARE(ReadUserString("Software\\Stampwell\\Options", "BGColor"),
                 std::optional<std::string>("&H8000000F"));
    }

    void secondStartShowsNoDialogAndKeepsTheFile() {
        RunStartup(Hooks());
        const std::string before = ReadBytes(Ini());
        Global() = GlobalState{};
        Global().LanguageFolder = STAMPWELL_LANG_DIR;
        RunStartup(Hooks());
        QCOMPARE(dialogs_, 1);
        QCOMPARE(ReadBytes(Ini()), before);
    }

    void dialogClosedWithoutOkLeavesTheLanguageEmpty() {
        pressOk_ = false;
        RunStartup(Hooks());
        QCOMPARE(dialogs_, 1);
        QCOMPARE(Global().CurrentLanguage, std::string());
        QVERIFY(ReadBytes(Ini()).find("\r\nLanguage=\r\n") != std::string::npos);
        QCOMPARE(ReadUserString(kRecord, "Language"), std::optional<std::string>(""));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_qttest.moc"
