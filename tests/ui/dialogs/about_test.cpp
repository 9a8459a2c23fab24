#include "fixture.h"
#include "ui/dialogs/dlgAbout.h"
#include "ui/main/frmMain.h"
#include "ui/main/modLinks.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>

using stampwell::app::Global;
using stampwell::ui::AboutBoxOpen;
using stampwell::ui::dlgAbout;
using stampwell::ui::frmMain;
using stampwell::ui::MessageAnswer;
using stampwell::ui::ShowAboutBox;

namespace {

QImage Picture(QWidget& box) {
    return Control<QLabel>(box, "Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage BuiltIn() {
    return dlgAbout::BuiltInBanner().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void VersionLabelHasTwoDigitMinorAndThreeDigitRevision() {
        QCOMPARE(dlgAbout::VersionLabel("3.01.00"), QStringLiteral("Version 3.01.000"));
        QCOMPARE(dlgAbout::VersionLabel("3.2.0"), QStringLiteral("Version 3.02.000"));
        QCOMPARE(dlgAbout::VersionLabel("10.11.12"), QStringLiteral("Version 10.11.012"));
        Profile profile;
        frmMain main;
        dlgAbout& box = ShowAboutBox(&main);
        QCOMPARE(Control<QLabel>(box, "lblVersion")->text(), QStringLiteral("Version 3.01.000"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Stampwell"));
    }

    void TextsComeFromTheCurrentLanguage() {
        Profile profile("Deutsch");
        frmMain main;
        dlgAbout& box = ShowAboutBox(&main);
        QCOMPARE(Control<QLabel>(box, "lblWeb")->text(), LangText("Deutsch", "SWdlgAbout", 0));
        QCOMPARE(Control<QLabel>(box, "lblSupp")->text(), LangText("Deutsch", "SWdlgAbout", 1));
        QCOMPARE(Control<QLabel>(box, "lblFreeware")->text(), LangText("Deutsch", "SWdlgAbout", 2));
        QCOMPARE(Control<QLabel>(box, "lblInfo")->text(), LangText("Deutsch", "SWdlgAbout", 3));
        QCOMPARE(Control<QPushButton>(box, "cmdQuit")->text(),
                 LangText("Deutsch", "SWdlgAbout", 4));
        Global().CurrentLanguage = "English";
        box.LoadLanguage();
        QCOMPARE(Control<QLabel>(box, "lblInfo")->text(), LangText("English", "SWdlgAbout", 3));
        QCOMPARE(QString::fromStdString(Global().LanguageFilePath),
                 QString::fromStdString(stampwell::app::LanguageFileFor("English")));
    }

    void BannerFileBesideTheProgramReplacesTheBuiltInBanner() {
        Profile profile;
        Global().ProgramFolder = profile.Path(QStringLiteral("program")).toStdString();
        frmMain main;
        {
            dlgAbout box(&main);
            QCOMPARE(Picture(box), BuiltIn());
        }
        QVERIFY(QDir().mkpath(profile.Path(QStringLiteral("program/bin"))));
        const QString file = profile.Path(QStringLiteral("program/bin/Stampwell.bmp"));
        QImage banner(120, 40, QImage::Format_RGB32);
        banner.fill(QColor(10, 200, 30));
        QVERIFY(banner.save(file, "BMP"));
        {
            dlgAbout box(&main);
            QCOMPARE(Picture(box), banner);
        }
        // A file that is no bitmap leaves the built-in banner.
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("BM not really a bitmap");
        broken.close();
        {
            dlgAbout box(&main);
            QCOMPARE(Picture(box), BuiltIn());
        }
    }

    void LinksOpenTheHelpPageAndASupportMessage() {
        Profile profile;
        frmMain main;
        dlgAbout& box = ShowAboutBox(&main);
        QCOMPARE(Control<QLabel>(box, "lblWeburl")->text().contains(stampwell::ui::WebAddress()),
                 true);
        emit Control<QLabel>(box, "lblWeburl")->linkActivated(QString());
        emit Control<QLabel>(box, "lblSupport")->linkActivated(QString());
        QCOMPARE(profile.links.size(), 2);
        QCOMPARE(profile.links[0], stampwell::ui::HelpPageAddress());
        QCOMPARE(profile.links[1],
                 QStringLiteral("mailto:") + stampwell::ui::SupportMailAddress() +
                     QStringLiteral("?subject=Stampwell Request ") +
                     QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(profile.links[0].startsWith(QStringLiteral("https://")));
        QVERIFY(stampwell::ui::SupportMailAddress().contains(QLatin1Char('@')));
    }

    void AboutBoxOpenHoldsExactlyWhileTheBoxIsOpen() {
        Profile profile;
        frmMain main;
        QVERIFY(!AboutBoxOpen());
        dlgAbout& first = ShowAboutBox(&main);
        QVERIFY(AboutBoxOpen());
        // A second opening brings the same box forward.
        Control<QLabel>(first, "lblInfo")->setText(QStringLiteral("kept"));
        QCOMPARE(&ShowAboutBox(&main), &first);
        QCOMPARE(Control<QLabel>(first, "lblInfo")->text(), QStringLiteral("kept"));

        Control<QPushButton>(first, "cmdQuit")->click();
        QVERIFY(!AboutBoxOpen());
        QCOMPARE(stampwell::ui::OpenAboutBox(), nullptr);

        // Closed by the window frame or by Esc: closed all the same.
        ShowAboutBox(&main).close();
        QVERIFY(!AboutBoxOpen());
        QTest::keyClick(&ShowAboutBox(&main), Qt::Key_Escape);
        QVERIFY(!AboutBoxOpen());

        // A new opening loads afresh.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dlgAbout& again = ShowAboutBox(&main);
        QCOMPARE(Control<QLabel>(again, "lblInfo")->text(), LangText("English", "SWdlgAbout", 3));
    }

    void HelpButtonAsksAndOpensTheHelpPageOnYes() {
        Profile profile;
        frmMain main;
        main.Load();
        profile.answers = {MessageAnswer::No, MessageAnswer::Yes};
        Control<QToolButton>(main, "cmdHelp")->click();
        QCOMPARE(profile.links, QStringList());
        Control<QToolButton>(main, "cmdHelp")->click();
        QCOMPARE(profile.links, QStringList{stampwell::ui::HelpPageAddress()});
        QCOMPARE(profile.messages.size(), 2);
        const stampwell::ui::MessageRequest& question = profile.messages[0];
        QCOMPARE(question.title, QStringLiteral("Stampwell"));
        QCOMPARE(question.buttons, stampwell::ui::MessageButtons::YesNo);
        QCOMPARE(question.text, main.MainText(46) + QStringLiteral("\r\n") + main.MainText(47));
        QVERIFY(!main.MainText(46).isEmpty());
    }

    void FilterButtonsResetWithoutAskingAndAskForHelp() {
        Profile profile;
        frmMain main;
        main.Load();
        auto* filter = Control<QLineEdit>(main, "txtFilter");
        filter->setText(QStringLiteral("*.txt"));
        Control<QAction>(main, "txtFilter.button(0)")->trigger();
        QCOMPARE(filter->text(), QStringLiteral("*.*"));
        QVERIFY(profile.messages.isEmpty());

        profile.answers = {MessageAnswer::No, MessageAnswer::Yes};
        Control<QAction>(main, "txtFilter.button(1)")->trigger();
        QCOMPARE(profile.links, QStringList());
        Control<QAction>(main, "txtFilter.button(1)")->trigger();
        QCOMPARE(profile.links, QStringList{stampwell::ui::HelpPageAddress()});
        QCOMPARE(profile.messages.size(), 2);
        QCOMPARE(profile.messages[1].text,
                 main.MainText(46) + QStringLiteral("\r\n") + main.MainText(47));
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
