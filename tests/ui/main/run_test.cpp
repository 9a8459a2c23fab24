#include "platform/attributes.h"
#include "platform/localtime.h"
#include "profile.h"
#include "support/datetimetext.h"
#include "ui/dialogs/failurelist.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeZone>
#include <QUrl>
#include <ctime>
#include <map>
#include <sys/mount.h>
#include <sys/xattr.h>

using namespace stampwell::ui;
using stampwell::platform::LocalDateTime;

Q_DECLARE_METATYPE(MessageAnswer)

namespace {

const LocalDateTime kStamp{2001, 2, 3, 4, 5, 6, 0};

QString Text(const LocalDateTime& time) {
    return QString::fromStdString(stampwell::support::FormatDateTimeText(time));
}

QDateTime Modified(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

// The test's tree: tree/a.txt, b.txt, notes.log, sub/c.txt and `extra` more
// files in tree/many, all last written at a time far from kStamp and from now.
struct Tree {
    explicit Tree(const Profile& profile, int extra = 0) : root(profile.Path("tree")) {
        QStringList names{".", "sub", "a.txt", "b.txt", "notes.log", "sub/c.txt"};
        for (int i = 0; i < extra; ++i) {
            names.append(QStringLiteral("many/f%1.txt").arg(i));
        }
        for (const QString& name : names.mid(2)) {
            profile.Touch("tree/" + name);
        }
        for (const QString& name : names) {
            before[name] = Modified(root + u'/' + name);
        }
    }
    // How many items still have their time from before.
    qsizetype Kept() const {
        return std::count_if(before.begin(), before.end(), [this](const auto& item) {
            return Modified(root + u'/' + item.first) == item.second;
        });
    }
    bool Stamped(const QString& name) const {
        return Modified(root + u'/' + name) == QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    }
    QString root;
    std::map<QString, QDateTime> before;
};

// The window on the item, set to give the last-write time of what it touches kStamp.
frmMain& Prepare(Window& profile, const QString& item, const QString& stored = {}) {
    frmMain& w = profile.Open("Recursive=True;Path=%1/" + item + u';' + stored);
    Do(w, "Option2(2)=1;Combo3=Modified;txtDateTime=" + Text(kStamp));
    return w;
}

// Clicks the button; true once the run or undo it started has finished.
bool Click(frmMain& w, const char* button) {
    QSignalSpy finished(&w, &frmMain::runFinished);
    QTest::mouseClick(Control<QPushButton>(w, button), Qt::LeftButton);
    return w.IsRunning() && finished.wait(30000);
}

// The minute of a moment as a user in Kolkata reads it.
QString Kolkata(const QDateTime& utc) {
    const QDateTime t = utc.toTimeZone(QTimeZone("Asia/Kolkata"));
    const QDate day = t.date();
    return Text({day.year(), day.month(), day.day(), t.time().hour(), t.time().minute(), 0, 0})
        .left(16);
}

} // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    // What a run started from the window changes, and what the window says.
    void ARunFromTheWindow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("steps");   // after the last-write time was set to kStamp
        QTest::addColumn<QString>("info");    // "" for no run
        QTest::addColumn<QString>("message"); // its start
        QTest::addColumn<QStringList>("stamped");
        const auto row = [](const char* name, const char* item, const QString& steps,
                            const QString& info, const QString& message,
                            const QStringList& stamped) {
            QTest::newRow(name) << item << steps << info << message << stamped;
        };
        const QString first = Text({1601, 1, 1, 0, 0, 0, 0});
        row("tree", "tree", "txtFilter=*.txt", "Files processed: 3, Folders processed: 2", "",
            {"a.txt", "b.txt", "sub/c.txt", "sub", "."});
        row("no dot", "tree", "txtFilter=*", "", "The filter must contain a dot", {});
        row("file", "tree/a.txt", "", "The file's times were changed.", "", {"a.txt"});
        // A damaged user.DOSATTRIB value, which Stampwell never writes over,
        // refuses a new creation time.
        row("file refusing", "tree/a.txt", "Combo3=Created", "The file could not be changed.", "",
            {});
        row("before 1601", "tree", "txtDateTime=" + Text({1600, 12, 31, 23, 59, 59, 0}), "",
            "The date must lie between " + first, {});
        row("1601", "tree", "txtFilter=*.xyz;txtDateTime=" + first, "No matching file was found.",
            "", {});
    }
    void ARunFromTheWindow() {
        QFETCH(QString, item);
        QFETCH(QString, steps);
        QFETCH(QString, info);
        QFETCH(QString, message);
        QFETCH(QStringList, stamped);
        Window profile;
        const Tree tree(profile);
        static const char kDamaged[] = "0x20\0\5\0";
        QVERIFY(!steps.contains("Created") ||
                setxattr(qPrintable(tree.root + "/a.txt"), "user.DOSATTRIB", kDamaged,
                         sizeof kDamaged - 1, 0) == 0);
        frmMain& w = Prepare(profile, item);
        Do(w, steps);
        QCOMPARE(Click(w, "cmdExec"), !info.isEmpty());
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), info);
        QCOMPARE(profile.messages.value(0).text.left(message.isEmpty() ? -1 : message.size()),
                 message);
        for (const auto& [name, time] : tree.before) {
            QVERIFY2(tree.Stamped(name) == stamped.contains(name), qPrintable(name));
        }
        QVERIFY(stamped.size() < 2 || Control<QProgressBar>(w, "progress")->value() == 5);
    }

    // The attribute operation sets or clears the ticked attributes alone.
    void TheAttributeOperation_data() {
        using namespace stampwell::platform;
        QTest::addColumn<QString>("steps");
        QTest::addColumn<uint>("before");
        QTest::addColumn<uint>("after");
        QTest::newRow("set") << "Option3(1)=1;chkAttr(0)=1;chkAttr(1)=1" << 0u
                             << (kAttrArchive | kAttrReadOnly);
        QTest::newRow("clear") << "Option3(2)=1;chkAttr(1)=1;chkAttr(2)=1"
                               << (kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden)
                               << (kAttrArchive | kAttrHidden);
    }
    void TheAttributeOperation() {
        QFETCH(QString, steps);
        QFETCH(uint, before);
        QFETCH(uint, after);
        Window profile;
        const std::string file = Tree(profile).root.toStdString() + "/a.txt";
        QVERIFY(!stampwell::platform::WriteAttributes(file, before).Failed());
        frmMain& w = Prepare(profile, "tree/a.txt");
        Do(w, steps);
        QVERIFY(Click(w, "cmdExec"));
        std::uint32_t word = 0;
        QVERIFY(!stampwell::platform::ReadAttributes(file, word).Failed());
        QCOMPARE(word, after);
    }

    // A run or an undo locks the window but for Cancel and About; Esc stops
    // it, the window says so, and a cancelled undo leaves the run to undo.
    void CancellingARunOrAnUndo_data() {
        QTest::addColumn<bool>("undo");
        QTest::newRow("run") << false;
        QTest::newRow("undo") << true;
    }
    void CancellingARunOrAnUndo() {
        QFETCH(bool, undo);
        Window profile;
        const Tree tree(profile, 2000);
        frmMain& w = Prepare(profile, "tree");
        QVERIFY(!undo || Click(w, "cmdExec"));
        profile.answers = {MessageAnswer::Yes};
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy finished(&w, &frmMain::runFinished);
        QTest::mouseClick(Control<QPushButton>(w, undo ? "cmdUndo" : "cmdExec"), Qt::LeftButton);
        QVERIFY(w.IsRunning() && Control<QWidget>(w, "cmdCancel")->isVisible() &&
                Control<QWidget>(w, "cmdAbout")->isEnabled());
        for (const char* name : {"cmdBrowse", "cmdUndo", "Option2(1)"}) {
            QVERIFY2(!Control<QWidget>(w, name)->isEnabled(), name);
        }
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(finished.wait(30000));
        QVERIFY(Control<QLabel>(w, "lblInfo")->text().startsWith(w.MainText(45)));
        // The items done of the total, never a full bar; none when the search
        // was stopped before it knew the total.
        auto* progress = Control<QProgressBar>(w, "progress");
        QVERIFY(!progress->isVisible() || progress->value() < progress->maximum());
        QVERIFY(undo ? tree.Kept() < qsizetype(tree.before.size()) : !tree.Stamped("."));
        QVERIFY(!undo || w.RunToUndo().has_value());
    }

    // A file system without user attributes (ramfs) keeps no creation time
    // that can be set: the lists say so, the run asks first, and its failures
    // are listed with the reason, to copy or save.
    void AKindThatCannotBeSetIsMarkedAskedAboutAndItsFailuresListed() {
        Window profile;
        const QByteArray ram = QFile::encodeName(profile.Path("tree"));
        QVERIFY(QDir().mkpath(ram) && mount("ramfs", ram, "ramfs", 0, nullptr) == 0);
        const auto unmount = qScopeGuard([&] { umount2(ram, MNT_DETACH); });
        const Tree tree(profile);
        frmMain& w = Prepare(profile, "tree", "Recursive=False;Mode=1");
        Control<QLineEdit>(w, "txtFilter")->setText("a.txt");
        const QString marked = w.TimeNameOf(0) + " (not settable here)";
        for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
            QCOMPARE(Control<QComboBox>(w, name)->itemText(0), marked);
        }
        Control<QComboBox>(w, "Combo3")->setEditText(marked);
        profile.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QVERIFY(!Click(w, "cmdExec"));
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].text, w.MainText(75).arg(w.TimeNameOf(0), tree.root));
        QVERIFY(Click(w, "cmdExec"));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), "Files processed: 1, Failed: 1");
        QVERIFY(Control<QWidget>(w, "cmdFailures")->isVisibleTo(&w));
        const QString shown = QDir::toNativeSeparators(tree.root + "/a.txt") + u'\t' +
                              w.MainText(91) + u'\t' + w.TimeNameOf(0) + ": " +
                              QString::fromStdString(w.Failures()[0].reason.text) + u'\n';
        Answer<FailureList>([&](FailureList& list) {
            QCOMPARE(list.Text(), shown);
            list.CopyText();
            QVERIFY(list.SaveText(profile.Path("failures.txt")));
            list.reject();
        });
        Control<QPushButton>(w, "cmdFailures")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), shown);
        QFile saved(profile.Path("failures.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll() == shown.toUtf8());
        // Another item makes the run's report go.
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(tree.root + "/b.txt")});
        w.HandleDrop(data);
        QVERIFY(!Control<QWidget>(w, "cmdFailures")->isVisibleTo(&w));
        QVERIFY(!Control<QWidget>(w, "progress")->isVisibleTo(&w));
        // Past the listed ones the list says how many it left out.
        FailureList::Texts texts;
        texts.more = QStringLiteral("... and 7 more");
        const FailureList list({{"/x", "step", ""}}, texts, nullptr);
        QCOMPARE(list.Text(), QStringLiteral("/x\tstep\t\n... and 7 more\n"));
    }

    // The window asks before it changes what cannot be undone or undoes a
    // run: Ctrl+Z names the last run by its local start, a run cut short is
    // offered at start, and a run without a journal is started only on Yes.
    void TheJournalQuestions_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<MessageAnswer>("answer");
        for (const char* situation : {"undo", "cut short", "no journal"}) {
            QTest::addRow("%s, yes", situation) << situation << MessageAnswer::Yes;
            QTest::addRow("%s, no", situation) << situation << MessageAnswer::No;
        }
    }
    void TheJournalQuestions() {
        QFETCH(QString, situation);
        QFETCH(MessageAnswer, answer);
        Window profile;
        const Tree tree(profile);
        // The state folder's place is taken by a file: no journal can be made.
        if (situation == "no journal") {
            profile.Touch("state");
        }
        frmMain& w = Prepare(profile, "tree");
        profile.answers = {answer};
        QSignalSpy finished(&w, &frmMain::runFinished);
        if (situation == "no journal") {
            QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
        } else if (situation == "cut short") {
            // The run's journal loses its end line, as after a crash.
            QVERIFY(Click(w, "cmdExec"));
            QFile journal(QString::fromStdString(w.RunToUndo()->file));
            QVERIFY(journal.open(QIODevice::ReadWrite));
            QVERIFY(journal.resize(journal.readAll().indexOf("\nend\t") + 1));
            w.OfferRecovery();
        } else {
            const QDateTime started = QDateTime::currentDateTimeUtc();
            QVERIFY(Click(w, "cmdExec") && QTest::qWaitForWindowActive(&w));
            const QDateTime ended = QDateTime::currentDateTimeUtc();
            qputenv("TZ", "Asia/Kolkata");
            tzset();
            QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
            // The button's shortcut clicks it as an animation, a moment later.
            QTRY_COMPARE(profile.messages.size(), 1);
            qunsetenv("TZ");
            tzset();
            QVERIFY(profile.messages[0].text.contains(Kolkata(started)) ||
                    profile.messages[0].text.contains(Kolkata(ended)));
        }
        QVERIFY(!w.IsRunning() || finished.wait(30000));
        QCOMPARE(profile.messages.value(0).buttons, MessageButtons::YesNo);
        const QString question = profile.messages.value(0).text;
        QVERIFY(question.contains(situation == "no journal" ? "cannot be created (" : tree.root));
        // Changed: the undo's No and the run's Yes; put back: the undo's Yes.
        const bool changed = (situation == "no journal") == (answer == MessageAnswer::Yes);
        QCOMPARE(tree.Kept(), changed ? 0 : qsizetype(tree.before.size()));
        QVERIFY(changed || situation == "no journal" ||
                Control<QLabel>(w, "lblInfo")->text() == "Restored: 6, Skipped: 0, Failed: 0");
        QCOMPARE(Control<QPushButton>(w, "cmdUndo")->isEnabled(),
                 changed && situation != "no journal");
        // One question in all: nothing is offered again.
        w.OfferRecovery();
        QCOMPARE(profile.messages.size(), 1);
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
