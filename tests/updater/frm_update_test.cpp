#include "testing/environment.h"
#include "testing/tempfolder.h"
#include "updater/desktop_ports.h"
#include "updater/frmUpdate.h"
#include "updater/update_texts.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace stampupdate;

namespace {

const QString kPages = QString::fromStdU16String(kSiteRoot) + "stampwell/";
const QString kEnglish = QString::fromStdU16String(QuestionText(MessageLines(u"en")));

// Answers as told; notes the question, Qt's caption of the Yes button at that
// moment, and the addresses opened.
struct Recorder : UpdateQuestion, AddressOpener {
    bool AskYesNo(const QString& title, const QString& text, QWidget* owner) override {
        asked << title << text << QCoreApplication::translate("QPlatformTheme", "&Yes")
              << (owner == nullptr ? "alone" : "owned");
        return yes;
    }
    void Open(const QString& address) override { opened << address; }

    bool yes = true;
    QStringList asked;
    QStringList opened;
};

} // namespace

class FrmUpdateTest : public QObject {
    Q_OBJECT

    const stampwell::testing::TempFolder config;
    const stampwell::testing::ScopedEnv home{"XDG_CONFIG_HOME", config.Root()};

private slots:

    // Stampwell's record in the test's own config folder; the window stays
    // hidden and the question stands alone in the screen's middle.
    void loadAsksAndOpensThePageOfTheRecordedRelease_data() {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("opened");
        const QString german = QString::fromStdU16String(QuestionText(MessageLines(u"de")));
        QTest::newRow("en") << QByteArray("\"Version\"=\"3.01.00\"\r\n\"Language\"=\"en\"") << true
                            << QStringList{kEnglish, "&Yes"}
                            << QStringList{kPages + "en/update/QSW_3.01.00.htm"};
        QTest::newRow("Deutsch, No")
            << QByteArray("\"Version\"=\"3.01.00\"\n\"Language\"=\"Deutsch\"") << false
            << QStringList{german, "&Ja"} << QStringList{};
        QTest::newRow("no record") << QByteArray() << true << QStringList{kEnglish, "&Yes"}
                                   << QStringList{kPages + "en/update/QSW_NotFound.htm"};
    }
    void loadAsksAndOpensThePageOfTheRecordedRelease() {
        QFETCH(QByteArray, values);
        QFETCH(QStringList, asked);
        config.File("Quillbox/registry.reg",
                    "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n" +
                        values.toStdString());
        Recorder recorder;
        QFETCH(bool, yes);
        recorder.yes = yes;
        {
            frmUpdate form(recorder, recorder, QString());
            form.Load();
            QVERIFY(form.isHidden());
        }
        QCOMPARE(recorder.asked,
                 QStringList{"Quillbox Stampwell Update"} + asked + QStringList{"alone"});
        QTEST(recorder.opened, "opened");
    }

    // With a command line, which names the page's folder. (The end-to-end
    // test times the three seconds.)
    void windowUnloadsItselfThreeSecondsAfterTheAnswer() {
        Recorder recorder;
        frmUpdate form(recorder, recorder, CommandLineText({"Stampupdate", " 3.01.00", "B"}));
        QSignalSpy unloaded(&form, &frmUpdate::Unloaded);
        form.Load();
        QCOMPARE(recorder.opened, QStringList{kPages + " 3.01.00 b/update/QSW_en.htm"});
        QVERIFY(unloaded.wait(10000));
    }
};

QTEST_MAIN(FrmUpdateTest)
#include "frm_update_test.moc"
