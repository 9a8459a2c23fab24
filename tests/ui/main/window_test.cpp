#include "platform/attributes.h"
#include "platform/localtime.h"
#include "profile.h"
#include "support/datetimetext.h"
#include "ui/dialogs/dlgDateTime.h"
#include "ui/main/frmMain.h"
#include "ui/main/modBrowseFolders.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QUrl>

using namespace stampwell::ui;

const QString kValid = QString::fromStdString(stampwell::support::FormatDateTimeText(
    stampwell::platform::LocalDateTime{2001, 2, 3, 4, 5, 6, 0}));

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    // What the window shows after the stored choices ("Key=Value;...") are
    // loaded and the user's steps are done, and what it stores on closing.
    void TheWindowFollowsTheChoices() {
        const QString at = QStringLiteral("Path=%1");
        const QString newTime = QStringLiteral("Option2(2)=1;txtDateTime=");
        const QString cannotRun = QStringLiteral("cmdExec.enabled=false");
        const QString longPath = "%1/" + QString(150, u'x') + "/" + QString(150, u'y');
        const struct {
            QString stored, steps;
            QString checks; // "control.property=value;...", or "ini.Key=value" after closing
        } rows[] = {
            // Nothing to do, or no box ticked, or no item.
            {at, "", cannotRun},
            {at, "Option3(1)=1", cannotRun},
            {"", "Option3(1)=1;chkAttr(2)=1", cannotRun},
            {at, "Option3(1)=1;chkAttr(2)=1", "cmdExec.enabled=true"},
            // A ticked box keeps its mark while the operation is off.
            {at, "Option3(1)=1;chkAttr(2)=1;Option3(0)=1", "chkAttr(2).checked=true"},
            {at, "Option2(1)=1", "cmdExec.enabled=true"},
            // A copy or a new time without a kind to give, a new time that is not whole.
            {at, "Option2(1)=1;Combo2=", cannotRun},
            {at, newTime + kValid.left(18), cannotRun + ";txtDateTime.red=true"},
            {at, "Combo3=;" + newTime + kValid, cannotRun},
            // No filter is *.*, as after the field's reset button.
            {at, "txtFilter=", "txtFilter.text=*.*"},
            {at, "txtFilter=*.txt;txtFilter.button(0)", "txtFilter.selectedText=*.*"},
            {at, "chkDoWhat(2)=1", "txtFilter.enabled=false"},
            {"Path=%1/gone", "", "lblPath.red=true"},
            {"Path=%1;Mode=2;Recursive=False;Filter=*.txt;Index3=2", "",
             "chkDoWhat(2).checked=true;txtFilter.enabled=false;chkRekursiv.checked=false;"
             "txtFilter.text=*.txt;Combo3.currentText=Accessed"},
            // The attribute choice is not loaded when it is not to be saved.
            {"SaveAttrib=0;Attrib=1", "", "Option3(0).checked=true"},
            {"Path=" + longPath, "", "ini.Path=" + longPath},
            {at + ";Index1=7", "chkRekursiv=1", "ini.Recursive=True;ini.Index1=0"},
            {"SaveFilter=False;Filter=*.doc;Mode=2;SaveTime=False;Index=2;SaveAttrib=0;Attrib=1",
             "txtFilter=*.pdf;Option2(1)=1;Option3(2)=1",
             "ini.Filter=*.doc;ini.Mode=2;ini.Index=2;ini.Attrib=1"}};
        for (const auto& row : rows) {
            Window profile;
            frmMain& w = profile.Open(row.stored);
            Do(w, row.steps);
            for (const QString& check : row.checks.split(u';')) {
                const QString name = check.section(u'.', 0, 0);
                const QByteArray property = check.section(u'=', 0, 0).section(u'.', 1).toLatin1();
                const QString value = check.section(u'=', 1).replace("%1", profile.root.path());
                if (name == QLatin1String("ini")) {
                    w.close();
                    QCOMPARE(profile.Get(property), value);
                    continue;
                }
                auto* widget = Control<QWidget>(w, name);
                const QPalette::ColorRole role =
                    widget->inherits("QLabel") ? QPalette::WindowText : QPalette::Base;
                QCOMPARE(property == "red"
                             ? QVariant(widget->palette().color(role) == Qt::red).toString()
                             : widget->property(property).toString(),
                         value);
            }
        }
    }

    // A click in the time editor selects its section, so typed digits replace it.
    void TheTimeEditorTakesDigitsInTheClickedSection() {
        QLineEdit field(kValid);
        dlgDateTime dialog(&field, QStringLiteral("dd.MM.yyyy"), nullptr);
        auto* text = dialog.TimeEditor()->findChild<QLineEdit*>();
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(3, text->height() / 2));
        QTest::keyClicks(dialog.TimeEditor(), QStringLiteral("080910"));
        QCOMPARE(dialog.TimeEditor()->time(), QTime(8, 9, 10));
    }

    // tree/a.txt, tree/b.txt and tree/sub; the window starts on the profile's
    // folder. A missing item is refused with a message, several dropped items
    // offer their folder.
    void ChoosingAnItem() {
        const QStringList two{"tree/a.txt", "tree/b.txt"};
        const struct {
            const char *how, *chosen; // "" for the profile's folder
            QStringList items;
            MessageAnswer answer;
            int message; // the text it starts with; -1 for none
        } rows[] = {{"browse", "tree/a.txt", {"tree/a.txt"}, MessageAnswer::Ok, -1},
                    {"drop", "", {"gone"}, MessageAnswer::Ok, 1},
                    {"drop", "", two, MessageAnswer::No, 12},
                    {"drop", "tree", two, MessageAnswer::Yes, 12},
                    {"open", "tree/sub", {"tree/sub/../sub"}, MessageAnswer::Ok, -1}};
        for (const auto& row : rows) {
            Window profile;
            for (const char* file : {"tree/a.txt", "tree/b.txt", "tree/sub/c.txt"}) {
                profile.Touch(file);
            }
            frmMain& w = profile.Open("Path=%1");
            profile.answers = {row.answer};
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& item : row.items) {
                urls.append(QUrl::fromLocalFile(profile.Path(item)));
            }
            data.setUrls(urls);
            if (row.how == QLatin1String("browse")) {
                Answer<BrowseDialog>([&](BrowseDialog& dialog) {
                    QCOMPARE(dialog.SelectedPath(), QDir::toNativeSeparators(profile.root.path()));
                    dialog.Select(profile.Path(row.items[0]));
                    dialog.accept();
                });
                w.Browse();
            } else if (row.how == QLatin1String("drop")) {
                // Dragged onto a frame, the items reach the window.
                auto* frame = Control<QGroupBox>(w, "Frame4");
                QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(frame, &enter);
                QVERIFY(enter.isAccepted());
                QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(frame, &drop);
            } else {
                const QString before = QDir::currentPath();
                QVERIFY(QDir::setCurrent(profile.root.path()));
                w.OpenItem(row.items[0]);
                QVERIFY(QDir::setCurrent(before));
            }
            const QString path = QDir::toNativeSeparators(profile.Path(row.chosen));
            QCOMPARE(QDir::cleanPath(w.CurrentPath()), QDir::cleanPath(path));
            QCOMPARE(Control<QCheckBox>(w, "chkRekursiv")->isEnabled(), QFileInfo(path).isDir());
            QVERIFY(
                Control<QLabel>(w, "lblPath")->text().endsWith(QFileInfo(path).fileName() + ' '));
            QCOMPARE(profile.messages.value(0).text.section(u' ', 0, 2),
                     row.message < 0 ? "" : w.MainText(row.message).section(u' ', 0, 2));
        }
    }

    // The balloon over the item's frame: what the item is, its times and its
    // attributes; it appears on hovering and goes on leaving.
    void TheBalloonDescribesTheItem() {
        const struct {
            QString item;
            QStringList lines; // "line=text" or "line=text:answer"
        } rows[] = {{"nothing", {"0=38", "2=39"}},
                    {"gone", {"0=36", "2=37"}},
                    {"folder", {"0=17", "3=18", "8=19", "10=24:29"}},
                    {"readonly.txt", {"0=15", "3=27", "8=16", "9=23:29", "10=24:28", "12=26:29"}}};
        for (const auto& [item, lines] : rows) {
            Window profile;
            const QString path = profile.Path(item);
            if (item.endsWith(QLatin1String(".txt"))) {
                profile.Touch(item);
                // Read-only, and a bit the balloon does not tell about.
                stampwell::platform::WriteAttributes(path.toStdString(),
                                                     stampwell::platform::kAttrReadOnly | 0x2000);
            } else if (item != QLatin1String("gone") && item != QLatin1String("nothing")) {
                QVERIFY(QDir().mkpath(path));
            }
            frmMain& w = profile.Open("Index=2;Attrib=1;Archive=True;Path=" +
                                      (item == "nothing" ? QString() : path));
            auto* frame = Control<QGroupBox>(w, "Frame2");
            const QStringList text = w.InfoBalloon()->TextOf(frame).split(QStringLiteral("\r\n"));
            for (const QString& line : lines) {
                QStringList texts;
                for (const QString& index : line.section(u'=', 1).split(u':')) {
                    texts.append(w.MainText(index.toInt()));
                }
                QCOMPARE(text.value(line.section(u'=', 0, 0).toInt()), texts.join(": "));
            }
            QEnterEvent enter({5, 5}, {5, 5}, frame->mapToGlobal(QPointF(5, 5)));
            QApplication::sendEvent(frame, &enter);
            QTRY_VERIFY(w.InfoBalloon()->ShownBalloon() != nullptr);
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(frame, &leave);
            QVERIFY(w.InfoBalloon()->ShownBalloon() == nullptr);
            // The window on a folder is the documentation's screenshot.
            const QString shot =
                QCoreApplication::applicationDirPath() + "/../screenshots/frmMain-English.png";
            QVERIFY(item != "folder" ||
                    (QDir().mkpath(QFileInfo(shot).path()) && w.grab().save(shot)));
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
