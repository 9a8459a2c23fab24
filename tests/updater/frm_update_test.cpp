#include "testing/buttonpictures.h"
#include "updater/desktop_ports.h"
#include "updater/frmUpdate.h"
#include "updater/update_texts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace stampupdate;
using stampwell::testing::ButtonPicturesStyle;

namespace {

const QString kRoot = QString::fromStdU16String(kSiteRoot);
const QString kEnglish =
    QStringLiteral("This will open your browser to visit the Quillbox Stampwell "
                   "update website!\r\n"
                   "An active internet connection is required.\r\n\r\n"
                   "Do you want to go online now?");
const QString kGerman =
    QStringLiteral("Dies wird Ihren Browser öffnen um die Quillbox Stampwell "
                   "Update Website zu besuchen!\r\n"
                   "Hierzu benötigen Sie eine aktive Internetverbindung.\r\n\r\n"
                   "Möchten Sie jetzt Online gehen?");
const QString kNoText = QStringLiteral("\r\n\r\n\r\n");

class RecordingQuestion : public UpdateQuestion {
public:
    explicit RecordingQuestion(bool yes) : yes_(yes) {}

    bool AskYesNo(const QString& title, const QString& text, QWidget* owner) override {
        ++asked;
        ownerless = owner == nullptr;
        yesText = QCoreApplication::translate("QPlatformTheme", "&Yes");
        this->title = title;
        this->text = text;
        return yes_;
    }

    int asked = 0;
    QString title;
    QString text;
    bool ownerless = false;
    QString yesText; // Qt's caption of the Yes button while the question is asked

private:
    const bool yes_;
};

class RecordingOpener : public AddressOpener {
public:
    void Open(const QString& address) override { opened << address; }

    QStringList opened;
};

// What one start of the window did.
struct Outcome {
    int asked = 0;
    QString title;
    QString text;
    QStringList opened;
    bool hiddenAfter = false;
    bool timerRunningAfter = false;
    bool ownerless = false;
    QString yesText;
};

} // namespace

class FrmUpdateTest : public QObject {
    Q_OBJECT

private:
    // Stampwell's record in this test's own config folder, with the values'
    // lines as they stand in the file.
    void WriteRecord(const QByteArray& values) {
        QDir(config.path()).mkpath(QStringLiteral("Quillbox"));
        QFile file(config.filePath(QStringLiteral("Quillbox/registry.reg")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n" +
                   values);
    }

    void WriteRecord(const char* version, const char* language) {
        WriteRecord(QByteArray("\"Version\"=\"") + version + "\"\r\n\"Language\"=\"" + language +
                    "\"\r\n");
    }

    static Outcome Run(bool yes, const QString& commandLine = QString()) {
        RecordingQuestion question(yes);
        RecordingOpener opener;
        frmUpdate form(question, opener, commandLine);
        form.Load();
        return {question.asked,  question.title,           question.text,      opener.opened,
                form.isHidden(), form.Timer1().isActive(), question.ownerless, question.yesText};
    }

    QTemporaryDir config;

private slots:
    void initTestCase() {
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }

    void init() { QFile::remove(config.filePath(QStringLiteral("Quillbox/registry.reg"))); }

    void workedExample() {
        WriteRecord("3.01.00", "en");
        const Outcome outcome = Run(true);
        QCOMPARE(outcome.asked, 1);
        QCOMPARE(outcome.title, QStringLiteral("Quillbox Stampwell Update"));
        QCOMPARE(outcome.text, kEnglish);
        QCOMPARE(outcome.opened, QStringList{kRoot + "stampwell/en/update/QSW_3.01.00.htm"});
        QVERIFY(outcome.hiddenAfter);
        QVERIFY(outcome.timerRunningAfter);
        // No window behind the question: it stands alone in the screen's middle.
        QVERIFY(outcome.ownerless);
        QCOMPARE(outcome.yesText, QStringLiteral("&Yes"));
    }

    void aGermanRecordGivesQtsGermanButtons() {
        WriteRecord("3.01.00", "Deutsch");
        QCOMPARE(Run(false).yesText, QStringLiteral("&Ja"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    }

    void windowBeforeLoad() {
        RecordingQuestion question(false);
        RecordingOpener opener;
        const frmUpdate form(question, opener, QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("SWP Update"));
        QCOMPARE(form.Timer1().interval(), 3000);
        QVERIFY(!form.Timer1().isActive());
        QCOMPARE(question.asked, 0);
        const QList<QSize> sizes = form.windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(256, 256)));
    }

    void timerUnloadsTheWindowThreeSecondsLater() {
        WriteRecord("3.01.00", "en");
        RecordingQuestion question(false);
        RecordingOpener opener;
        frmUpdate form(question, opener, QString());
        QSignalSpy unloaded(&form, &frmUpdate::Unloaded);
        QElapsedTimer clock;
        clock.start();
        form.Load();
        QVERIFY(unloaded.wait(10000));
        QVERIFY(clock.elapsed() >= 2900);
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!form.Timer1().isActive());
    }

    void languageAndVersionRules_data() {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        const auto record = [](const char* version, const char* language) {
            return QByteArray("\"Version\"=\"") + version + "\"\n\"Language\"=\"" + language +
                   "\"\n";
        };
        QTest::newRow("de") << record("3.01.00", "de") << QString() << kGerman
                            << kRoot + "stampwell/de/update/QSW_3.01.00.htm";
        QTest::newRow("DEU becomes de") << record("3.01.00", "DEU") << QString() << kGerman
                                        << kRoot + "stampwell/de/update/QSW_3.01.00.htm";
        QTest::newRow("Deutsch becomes de") << record("3.01.00", "Deutsch") << QString() << kGerman
                                            << kRoot + "stampwell/de/update/QSW_3.01.00.htm";
        QTest::newRow("DE stays DE") << record("3.01.00", "DE") << QString() << kNoText
                                     << kRoot + "stampwell/de/update/QSW_3.01.00.htm";
        QTest::newRow("DE with command line")
            << record("3.01.00", "DE") << QStringLiteral("3.01.00") << kNoText
            << kRoot + "stampwell/3.01.00/update/QSW_DE.htm";
        QTest::newRow("fr") << record("3.01.00", "fr") << QString() << kNoText
                            << kRoot + "stampwell/fr/update/QSW_3.01.00.htm";
        QTest::newRow("one letter") << record("3.01.00", "x") << QString() << kNoText
                                    << kRoot + "stampwell/x/update/QSW_3.01.00.htm";
        QTest::newRow("command line") << record("3.01.00", "en") << QStringLiteral("3.01.00")
                                      << kEnglish << kRoot + "stampwell/3.01.00/update/QSW_en.htm";
        QTest::newRow("command line whole, lower case, not trimmed")
            << record("3.01.00", "en") << QStringLiteral(" Beta 2\\RC ") << kEnglish
            << kRoot + "stampwell/ beta 2\\rc /update/QSW_en.htm";
        QTest::newRow("empty values") << record("", "") << QString() << kEnglish
                                      << kRoot + "stampwell/en/update/QSW_NotFound.htm";
        QTest::newRow("no values") << QByteArray() << QString() << kEnglish
                                   << kRoot + "stampwell/en/update/QSW_NotFound.htm";
        QTest::newRow("version missing")
            << QByteArray("\"Language\"=\"de\"\n") << QString() << kGerman
            << kRoot + "stampwell/de/update/QSW_NotFound.htm";
        QTest::newRow("language missing")
            << QByteArray("\"Version\"=\"3.01.00\"\n") << QString() << kEnglish
            << kRoot + "stampwell/en/update/QSW_3.01.00.htm";
        QTest::newRow("binary version of 2 bytes")
            << QByteArray("\"Version\"=hex:2c,01\n\"Language\"=\"en\"\n") << QString() << kEnglish
            << kRoot + "stampwell/en/update/QSW_300.htm";
        QTest::newRow("binary version of 4 bytes")
            << QByteArray("\"Version\"=hex:ff,ff,01,00\n\"Language\"=\"en\"\n") << QString()
            << kEnglish << kRoot + "stampwell/en/update/QSW_-1.htm";
        QTest::newRow("binary version of 8 bytes")
            << QByteArray("\"Version\"=hex:2c,01,00,00,00,00,00,00\n\"Language\"=\"en\"\n")
            << QString() << kEnglish << kRoot + "stampwell/en/update/QSW_NotFound.htm";
        QTest::newRow("binary language")
            << QByteArray("\"Version\"=\"3.01.00\"\n\"Language\"=hex:07,00\n") << QString()
            << kNoText << kRoot + "stampwell/7/update/QSW_3.01.00.htm";
        QTest::newRow("dword version")
            << QByteArray("\"Version\"=dword:00000003\n") << QString() << kEnglish
            << kRoot + "stampwell/en/update/QSW_NotFound.htm";
    }

    void languageAndVersionRules() {
        QFETCH(QByteArray, values);
        QFETCH(QString, commandLine);
        QFETCH(QString, text);
        QFETCH(QString, address);
        WriteRecord(values);
        const Outcome outcome = Run(true, commandLine);
        QCOMPARE(outcome.asked, 1);
        QCOMPARE(outcome.title, QStringLiteral("Quillbox Stampwell Update"));
        QCOMPARE(outcome.text, text);
        QCOMPARE(outcome.opened, QStringList{address});
    }

    void missingRecordFileAsksInEnglish() {
        const Outcome outcome = Run(true);
        QCOMPARE(outcome.text, kEnglish);
        QCOMPARE(outcome.opened, QStringList{kRoot + "stampwell/en/update/QSW_NotFound.htm"});
    }

    void recordOfOtherKeyIsNotRead() {
        QDir(config.path()).mkpath(QStringLiteral("Quillbox"));
        QFile file(config.filePath(QStringLiteral("Quillbox/registry.reg")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Windows Registry Editor Version 5.00\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Other]\n"
                   "\"Version\"=\"9\"\n\"Language\"=\"de\"\n");
        file.close();
        QCOMPARE(Run(true).opened, QStringList{kRoot + "stampwell/en/update/QSW_NotFound.htm"});
    }

    void noOpensNothing() {
        WriteRecord("3.01.00", "de");
        const Outcome outcome = Run(false);
        QCOMPARE(outcome.asked, 1);
        QCOMPARE(outcome.text, kGerman);
        QVERIFY(outcome.opened.isEmpty());
        QVERIFY(outcome.hiddenAfter);
        QVERIFY(outcome.timerRunningAfter);
    }

    void commandLineIsTheArgumentsAfterTheProgram() {
        QCOMPARE(CommandLineText({QStringLiteral("Stampupdate")}), QString());
        QCOMPARE(CommandLineText({QStringLiteral("Stampupdate"), QStringLiteral("3.01.00")}),
                 QStringLiteral("3.01.00"));
        QCOMPARE(CommandLineText(
                     {QStringLiteral("Stampupdate"), QStringLiteral(" a "), QStringLiteral("B")}),
                 QStringLiteral(" a  B"));
    }

    // The real question box: title and text shown, no icon (nor pictures on
    // its buttons, even where the style would give them), Yes by default and
    // Escape for No.
    void messageBoxQuestion() {
        QApplication::setStyle(new ButtonPicturesStyle);
        MessageBoxQuestion question;
        QString shownTitle;
        QString shownText;
        bool noIcon = false;
        const auto answer = [&](bool withReturn) {
            QTimer::singleShot(0, [&, withReturn] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                shownTitle = box->windowTitle();
                shownText = box->text();
                noIcon = box->icon() == QMessageBox::NoIcon;
                for (const QAbstractButton* button : box->buttons()) {
                    noIcon = noIcon && button->icon().isNull();
                }
                QTest::keyClick(box, withReturn ? Qt::Key_Return : Qt::Key_Escape);
            });
        };
        answer(true);
        QVERIFY(question.AskYesNo(QString::fromStdU16String(QuestionTitle()), kEnglish, nullptr));
        QCOMPARE(shownTitle, QStringLiteral("Quillbox Stampwell Update"));
        QCOMPARE(shownText,
                 QString(kEnglish).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(noIcon);
        answer(false);
        QVERIFY(!question.AskYesNo(QString::fromStdU16String(QuestionTitle()), kGerman, nullptr));
    }
};

QTEST_MAIN(FrmUpdateTest)
#include "frm_update_test.moc"
