#include "testing/buttonpictures.h"
#include "ui/dialogs/dlgDateTime.h"
#include "ui/main/clsToolTip.h"
#include "ui/main/modBrowseFolders.h"
#include "ui/main/modCompactPath.h"
#include "ui/main/modMessageBox.h"
#include "ui/main/modWordWrap.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

using namespace stampwell::ui;
using stampwell::testing::ButtonPicturesStyle;

class HelpersTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetMessageHandler({}); }

    void LongestWordCountsRunsWithoutBlanks() {
        QCOMPARE(LongestWord(QString()), 0);
        QCOMPARE(LongestWord(QStringLiteral("ab  abcde x")), 5);
        QCOMPARE(LongestWord(QStringLiteral("a\r\nbcd")), 6);
    }

    void WordWrapBreaksGreedilyAtTheLength() {
        const QString text = QStringLiteral(
            "Do you want to use the folder that holds the dropped items as the chosen folder?");
        const QString wrapped = WordWrap(text, 40);
        const QStringList lines = wrapped.split(QStringLiteral("\r\n"));
        QVERIFY(lines.size() > 1);
        for (const QString& line : lines) {
            QVERIFY(line.size() <= 40);
        }
        QCOMPARE(lines.join(QLatin1Char(' ')), text);
        // Greedy: the next line's first word would not have fit.
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QVERIFY(lines[i].size() + 1 + lines[i + 1].split(QLatin1Char(' ')).first().size() > 40);
        }
    }

    void WordWrapNormalizesBreaksAndBlankRuns() {
        QCOMPARE(WordWrap(QStringLiteral("one\r\ntwo\nthree"), 40),
                 QStringLiteral("one two three"));
        // One pass per pattern: three blanks become two, not one.
        QCOMPARE(WordWrap(QStringLiteral("  a   b  "), 40), QStringLiteral("a  b"));
        QCOMPARE(WordWrap(QStringLiteral("a  b"), 40), QStringLiteral("a b"));
        QCOMPARE(WordWrap(QStringLiteral("ab cd ef"), 5), QStringLiteral("ab cd\r\nef"));
    }

    void WordWrapReportsAWordLongerThanTheLength() {
        QList<MessageRequest> shown;
        SetMessageHandler([&](const MessageRequest& r) {
            shown.append(r);
            return MessageAnswer::Ok;
        });
        QCOMPARE(WordWrap(QStringLiteral("abcde fg\r\nh"), 4), QStringLiteral("abcde fg h"));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("Should be: max.: 4 characters."));
        QCOMPARE(shown[0].buttons, MessageButtons::Ok);
    }

    void CompactPathKeepsAPathThatFits() {
        QLabel label;
        label.resize(2000, 20);
        QCOMPARE(CompactPath(QStringLiteral("/a/b/c.txt"), label), QStringLiteral("/a/b/c.txt "));
    }

    void CompactPathReplacesMiddleComponentsAndKeepsTheLast() {
        const QFontMetrics metrics(QApplication::font());
        const QString path = QStringLiteral("C:\\Program Files\\Stampwell\\very\\deep\\folder\\"
                                            "structure\\here\\report final.txt");
        const int width = metrics.horizontalAdvance(path) / 2;
        const QString shortened = CompactPathToWidth(path, metrics, width);
        QVERIFY(metrics.horizontalAdvance(shortened) <= width);
        QVERIFY(shortened.startsWith(QStringLiteral("C:\\")));
        QVERIFY(shortened.endsWith(QStringLiteral("\\...\\report final.txt")));
        // The longest head that fits is kept.
        const QString longer = path.left(shortened.indexOf(QStringLiteral("...")));
        const qsizetype nextSep = path.indexOf(QLatin1Char('\\'), longer.size());
        QVERIFY(metrics.horizontalAdvance(path.left(nextSep + 1) +
                                          QStringLiteral("...\\report final.txt")) > width);
    }

    void CompactPathCutsTheLastComponentOnlyWhenNothingElseFits() {
        const QFontMetrics metrics(QApplication::font());
        const QString path = QStringLiteral("/home/user/a-rather-long-file-name.txt");
        const int tailWidth =
            metrics.horizontalAdvance(QStringLiteral(".../a-rather-long-file-name.txt"));
        QCOMPARE(CompactPathToWidth(path, metrics, tailWidth),
                 QStringLiteral(".../a-rather-long-file-name.txt"));
        const QString cut = CompactPathToWidth(path, metrics, tailWidth / 2);
        QVERIFY(metrics.horizontalAdvance(cut) <= tailWidth / 2);
        QVERIFY(cut.startsWith(QStringLiteral(".../a-rather")));
    }

    void ToolTipKeepsItsSettingsWithinRange() {
        QWidget window;
        clsToolTip tip;
        tip.SetVisibleTime(1000); // before Create: no effect
        QCOMPARE(tip.VisibleTime(), 5000);
        tip.SetMaxWidth(250); // kept and applied by Create
        tip.Create(&window, true, true);
        QCOMPARE(tip.MaxWidth(), 250);
        tip.SetVisibleTime(60000);
        QCOMPARE(tip.VisibleTime(), 32767);
        tip.SetDelayTime(-5);
        QCOMPARE(tip.DelayTime(), 0);
    }

    void ToolTipShowsTitleAndLinesAfterTheDelay() {
        QWidget window;
        auto* frame = new QWidget(&window);
        frame->resize(200, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        clsToolTip tip;
        tip.Create(&window, true, true);
        tip.SetMaxWidth(400);
        tip.SetVisibleTime(20000);
        tip.SetDelayTime(200);
        tip.AddControl(frame, QStringLiteral("Heading\r\nline two"), true);
        tip.SetToolTipTitle(QStringLiteral("Info"), clsToolTip::IconInformation);
        QCOMPARE(tip.TextOf(frame), QStringLiteral("Heading\r\nline two"));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(frame, &enter);
        QVERIFY(tip.ShownBalloon() == nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(tip.ShownBalloon() != nullptr, 2000);
        QVERIFY(tip.ShownBalloon()->width() <= 400);
        const QList<QLabel*> labels = tip.ShownBalloon()->findChildren<QLabel*>();
        QStringList texts;
        for (const QLabel* l : labels) {
            texts.append(l->text());
        }
        QVERIFY(texts.contains(QStringLiteral("Info")));
        QVERIFY(texts.contains(QStringLiteral("Heading\nline two")));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(frame, &leave);
        QVERIFY(tip.ShownBalloon() == nullptr);
    }

    void BrowseDialogOpensAtThePathAndShowsTheShortenedSelection() {
        QTemporaryDir dir;
        const QString deep = dir.path() + QStringLiteral("/first level/second level/third");
        QVERIFY(QDir().mkpath(deep));
        QFile file(deep + QStringLiteral("/chosen file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        BrowseDialog dialog(QStringLiteral("Choose"), QDir::toNativeSeparators(deep), nullptr, true,
                            true, QString(), QStringLiteral("Selection: "));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose"));
        QCOMPARE(dialog.SelectedPath(), QDir::toNativeSeparators(deep));
        dialog.Select(file.fileName());
        QCOMPARE(dialog.SelectedPath(), QDir::toNativeSeparators(file.fileName()));
        dialog.resize(200, 300);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString status = dialog.StatusText();
        QVERIFY(status.startsWith(QStringLiteral("Selection: ")));
        QVERIFY(status.endsWith(QStringLiteral("chosen file.txt")));
        QVERIFY(status.contains(QStringLiteral("...")));
    }

    void BrowseForFolderGivesNothingOnCancel() {
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QCOMPARE(BrowseForFolder(QStringLiteral("t"), QDir::tempPath(), nullptr, true, true, true),
                 QString());
    }

    void DateTimeDialogSplitsTheFieldAndWritesItBack() {
        QLineEdit field(QStringLiteral("24.12.2023 18:30:05"));
        dlgDateTime dialog(&field, QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(dialog.DateEditor()->date(), QDate(2023, 12, 24));
        QCOMPARE(dialog.TimeEditor()->time(), QTime(18, 30, 5));
        QCOMPARE(dialog.ResultText(), QStringLiteral("24.12.2023 18:30:05"));
        dialog.TimeEditor()->setTime(QTime(7, 0, 0));
        QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QCOMPARE(field.text(), QStringLiteral("24.12.2023 07:00:00"));
    }

    void DateTimeDialogCancelLeavesTheField() {
        QLineEdit field(QStringLiteral("24.12.2023 18:30:05"));
        dlgDateTime dialog(&field, QStringLiteral("dd.MM.yyyy"));
        dialog.TimeEditor()->setTime(QTime(7, 0, 0));
        QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        QCOMPARE(field.text(), QStringLiteral("24.12.2023 18:30:05"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void DateTimeDialogOpensEmptyWithMidnight() {
        QLineEdit field;
        dlgDateTime dialog(&field, QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(dialog.TimeEditor()->time(), QTime(0, 0, 0));
        QCOMPARE(dialog.DateEditor()->text().trimmed(), QString());
        QCOMPARE(dialog.ResultText(), QStringLiteral(" 00:00:00"));
    }

    void DateTimeDialogTakesOverlappingPartsOfAShortText() {
        QLineEdit field(QStringLiteral("01.02.2024 10:11"));
        dlgDateTime dialog(&field, QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(dialog.DateEditor()->date(), QDate(2024, 2, 1));
        // The last eight characters "24 10:11" are no time.
        QCOMPARE(dialog.TimeEditor()->time(), QTime(0, 0, 0));
        QLineEdit iso(QStringLiteral("12:13:14"));
        dlgDateTime second(&iso, QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(second.TimeEditor()->time(), QTime(12, 13, 14));
    }

    // Plain Yes and No, as the platform's own boxes have them, even where the
    // style would give them pictures.
    void MessageBoxButtonsCarryNoPictures() {
        QApplication::setStyle(new ButtonPicturesStyle);
        bool plain = false;
        QTimer::singleShot(0, [&plain] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            plain = box->buttons().size() == 2;
            for (const QAbstractButton* button : box->buttons()) {
                plain = plain && button->icon().isNull();
            }
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(ShowMessage(nullptr, MessageIcon::Question, QStringLiteral("t"),
                             QStringLiteral("q"), MessageButtons::YesNo),
                 MessageAnswer::No);
        QVERIFY(plain);
    }

    // A long path breaks after its separators, Windows' too, within the width.
    void ABalloonWrapsALongPathWithinItsWidth() {
        QWidget control;
        control.show();
        clsToolTip tip;
        tip.Create(&control, true, true);
        tip.SetMaxWidth(400);
        for (const QChar separator : {QLatin1Char('/'), QLatin1Char('\\')}) {
            const QString path =
                QStringLiteral("C:") +
                (separator + QStringLiteral("a_folder_with_a_long_name")).repeated(8);
            tip.AddControl(&control, path);
            tip.ShowFor(&control);
            QVERIFY(tip.ShownBalloon() != nullptr);
            QVERIFY(tip.ShownBalloon()->width() <= 400);
        }
    }
};

QTEST_MAIN(HelpersTest)
#include "helpers_test.moc"
