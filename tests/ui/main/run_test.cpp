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
using namespace stampwell::platform;

namespace {

QString Text(const LocalDateTime& time) {
    return QString::fromStdString(stampwell::support::FormatDateTimeText(time));
}

QDateTime Modified(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

// The test's tree: tree/a.txt, b.txt, notes.log, sub/c.txt and `extra` more
// files in tree/many, all last written at a time far from the stamp and from now.
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

// The window on the item, set to give the last-write time of what it touches
// 2001-02-03 04:05:06.
frmMain& Prepare(Window& profile, const QString& item, const QString& stored = {}) {
    frmMain& w = profile.Open("Recursive=True;Path=%1/" + item + u';' + stored);
    Do(w, "Option2(2)=1;Combo3=Modified;txtDateTime=" + Text({2001, 2, 3, 4, 5, 6, 0}));
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
    // a.txt is read-only and system before; the attribute operation sets or
    // clears the ticked attributes alone.
    void ARunFromTheWindow() {
        const QString first = Text({1601, 1, 1, 0, 0, 0, 0});
        const struct {
            const char *item, *said; // lblInfo after a run, else the message's start
            QString steps;           // after the last-write time was set
            QString stamped;
            std::uint32_t attributes; // a.txt's after; 5 is read-only and system
        } rows[] = {
            {"tree", "Files processed: 3, Folders processed: 2",
             "txtFilter=*.txt;Option3(2)=1;chkAttr(1)=1;chkAttr(2)=1",
             "a.txt b.txt sub/c.txt sub .", 0},
            {"tree", "The filter must contain a dot", "txtFilter=*", "", 5},
            {"tree/a.txt", "The file's times were changed.",
             "Option3(1)=1;chkAttr(0)=1;chkAttr(3)=1", "a.txt",
             kAttrArchive | kAttrReadOnly | kAttrSystem | kAttrHidden},
            {"tree", "The date must lie between ",
             "txtDateTime=" + Text({1600, 12, 31, 23, 59, 59, 0}), "", 5},
            {"tree", "No matching file was found.", "txtFilter=*.xyz;txtDateTime=" + first, "", 5}};
        for (const auto& row : rows) {
            Window profile;
            const Tree tree(profile);
            const std::string file = tree.root.toStdString() + "/a.txt";
            QVERIFY(!WriteAttributes(file, kAttrReadOnly | kAttrSystem).Failed());
            frmMain& w = Prepare(profile, row.item);
            Do(w, row.steps);
            const bool ran = Click(w, "cmdExec");
            QCOMPARE(profile.messages.size(), ran ? 0 : 1);
            QCOMPARE(ran ? Control<QLabel>(w, "lblInfo")->text()
                         : profile.messages[0].text.left(qstrlen(row.said)),
                     row.said);
            for (const auto& [name, time] : tree.before) {
                QVERIFY2(tree.Stamped(name) == row.stamped.split(' ').contains(name),
                         qPrintable(name));
            }
            // The bar counts the items done.
            QVERIFY(!row.stamped.contains(' ') ||
                    Control<QProgressBar>(w, "progress")->value() == 5);
            std::uint32_t word = 0;
            QVERIFY(!ReadAttributes(file, word).Failed());
            QCOMPARE(word, row.attributes);
        }
    }

    // A run or an undo locks the window but for Cancel and About; Esc stops
    // it, the window says so, and a cancelled undo leaves the run to undo.
    void CancellingARunOrAnUndo() {
        for (const bool undo : {false, true}) {
            Window profile;
            const Tree tree(profile, 2000);
            frmMain& w = Prepare(profile, "tree");
            QVERIFY(!undo || Click(w, "cmdExec"));
            profile.answers = {MessageAnswer::Yes};
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QSignalSpy finished(&w, &frmMain::runFinished);
            QTest::mouseClick(Control<QPushButton>(w, undo ? "cmdUndo" : "cmdExec"),
                              Qt::LeftButton);
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
    }

    // A file system without user attributes (ramfs) keeps no creation time
    // that can be set: the lists say so, the run asks first, and its failures
    // are listed with the reason, to save.
    void AKindThatCannotBeSetIsMarkedAskedAboutAndItsFailuresListed() {
        Window profile;
        const QByteArray ram = QFile::encodeName(profile.Path("tree"));
        QVERIFY(QDir().mkpath(ram) && mount("ramfs", ram, "ramfs", 0, nullptr) == 0);
        const auto unmount = qScopeGuard([&] { umount2(ram, MNT_DETACH); });
        const Tree tree(profile);
        frmMain& w = Prepare(profile, "tree", "Recursive=False;Mode=1");
        Control<QLineEdit>(w, "txtFilter")->setText("a.txt");
        const QString marked = w.TimeNameOf(0) + " (not settable here)";
        QCOMPARE(Control<QComboBox>(w, "Combo3")->itemText(0), marked);
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
            QVERIFY(list.SaveText(profile.Path("failures.txt")));
            list.reject();
        });
        Control<QPushButton>(w, "cmdFailures")->click();
        QFile saved(profile.Path("failures.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll() == shown.toUtf8());
        // Another item makes the run's report go.
        w.OpenItem(tree.root + "/b.txt");
        QVERIFY(!Control<QWidget>(w, "cmdFailures")->isVisibleTo(&w));
        QVERIFY(!Control<QWidget>(w, "progress")->isVisibleTo(&w));
        // A single file that fails is reported as such.
        profile.answers = {MessageAnswer::Yes};
        QVERIFY(Click(w, "cmdExec"));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), "The file could not be changed.");
    }

    // The window asks before it changes what cannot be undone or undoes a
    // run: Ctrl+Z names the last run by its local start, a run cut short is
    // offered at start, and a run without a journal is started only on Yes.
    void TheJournalQuestions() {
        for (const QString situation : {"undo", "cut short", "no journal"}) {
            for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
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
                QVERIFY(profile.messages.value(0).text.contains(
                    situation == "no journal" ? "cannot be created (" : tree.root));
                // Changed: the undo's No and the run's Yes; put back: the undo's Yes.
                const bool changed = (situation == "no journal") == (answer == MessageAnswer::Yes);
                QCOMPARE(tree.Kept(), changed ? 0 : qsizetype(tree.before.size()));
                QVERIFY(changed || situation == "no journal" ||
                        Control<QLabel>(w, "lblInfo")->text() ==
                            "Restored: 6, Skipped: 0, Failed: 0");
                QCOMPARE(Control<QPushButton>(w, "cmdUndo")->isEnabled(),
                         changed && situation != "no journal");
                // One question in all: nothing is offered again.
                w.OfferRecovery();
                QCOMPARE(profile.messages.size(), 1);
            }
        }
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
