#include "engine/journalledrun.h"
#include "platform/itemtimes.h"
#include "platform/localtime.h"
#include "profile.h"
#include "support/datetimetext.h"
#include "ui/dialogs/failurelist.h"
#include "ui/main/frmMain.h"

#include <QApplication>
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
#include <QTimer>
#include <QUrl>
#include <ctime>
#include <map>
#include <ranges>
#include <sys/mount.h>
#include <sys/xattr.h>

using namespace stampwell::ui;
using stampwell::platform::FileTime;
using stampwell::platform::LocalDateTime;
namespace engine = stampwell::engine;

Q_DECLARE_METATYPE(LocalDateTime)
Q_DECLARE_METATYPE(MessageAnswer)

namespace {

const LocalDateTime kStamp{2001, 2, 3, 4, 5, 6, 0};

QString Text(const LocalDateTime& time) {
    return QString::fromStdString(stampwell::support::FormatDateTimeText(time));
}

std::optional<FileTime> Modified(const QString& path) {
    stampwell::platform::ItemTimes times;
    using stampwell::platform::ItemType;
    const ItemType type = QFileInfo(path).isDir() ? ItemType::Folder : ItemType::File;
    stampwell::platform::ReadItemTimes(path.toStdString(), type, times);
    return times.modified;
}

// The test's tree: tree/a.txt, b.txt, notes.log, sub/c.txt and `extra` more
// files in tree/many, all with a last-write time far from kStamp and from now.
struct Tree {
    explicit Tree(const Window& profile, int extra = 0) : root(profile.Path("tree")) {
        QStringList files{"a.txt", "b.txt", "notes.log", "sub/c.txt"};
        for (int i = 0; i < extra; ++i) {
            files.append(QStringLiteral("many/f%1.txt").arg(i));
        }
        for (const QString& name : files) {
            QFile file(profile.Touch("tree/" + name));
            file.open(QIODevice::ReadWrite);
            file.setFileTime(QDateTime(QDate(2011, 5, 6), QTime(7, 8, 9, 123)),
                             QFileDevice::FileModificationTime);
        }
        for (const QString& name : files + QStringList{".", "sub"}) {
            before[QDir::cleanPath(root + u'/' + name)] = *Modified(root + u'/' + name);
        }
    }
    // The items that still have their time from before.
    qsizetype Kept() const {
        return std::count_if(before.begin(), before.end(),
                             [](const auto& item) { return Modified(item.first) == item.second; });
    }
    bool Stamped(const QString& name) const {
        return Modified(root + u'/' + name) == stampwell::platform::FromLocal(kStamp);
    }
    QString root;
    std::map<QString, FileTime> before;
};

// The window on the item, set to give the last-write time of what it touches kStamp.
frmMain& Prepare(Window& profile, const QString& item, const QString& stored = {}) {
    frmMain& w = profile.Open("Recursive=True;Path=%1/" + item + u';' + stored);
    Control<QRadioButton>(w, "Option2(2)")->setChecked(true);
    Control<QComboBox>(w, "Combo3")->setEditText(w.TimeNameOf(1));
    Control<QLineEdit>(w, "txtDateTime")->setText(Text(kStamp));
    return w;
}

// Clicks the button; true once the run or undo it started has finished.
bool Click(frmMain& w, const char* button) {
    QSignalSpy finished(&w, &frmMain::runFinished);
    QTest::mouseClick(Control<QPushButton>(w, button), Qt::LeftButton);
    return w.IsRunning() && finished.wait(30000);
}

QString Info(frmMain& w) {
    return Control<QLabel>(w, "lblInfo")->text();
}

// Makes a file refuse a new creation time: its user.DOSATTRIB value is
// damaged, and Stampwell never writes over such a value.
void RefuseCreationTime(const QString& path) {
    static const char kDamaged[] = "0x20\0\5\0";
    QCOMPARE(
        setxattr(path.toUtf8().constData(), "user.DOSATTRIB", kDamaged, sizeof kDamaged - 1, 0), 0);
}

} // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void ARunFromTheWindow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("kind");
        QTest::addColumn<LocalDateTime>("date");
        QTest::addColumn<QString>("info");    // "" for no run
        QTest::addColumn<QString>("message"); // its start
        QTest::addColumn<QStringList>("stamped");
        const auto row = [](const char* name, const char* item, const char* filter, int kind,
                            const LocalDateTime& date, const QString& info, const QString& message,
                            const QStringList& stamped) {
            QTest::newRow(name) << item << filter << kind << date << info << message << stamped;
        };
        const QString none = QStringLiteral("No matching file was found.");
        row("tree", "tree", "*.txt", 1, kStamp, "Files processed: 3, Folders processed: 2", "",
            {"a.txt", "b.txt", "sub/c.txt", "sub", "."});
        row("nothing found", "tree", "*.xyz", 1, kStamp, none, "", {});
        row("filter without a dot", "tree", "*", 1, kStamp, "", "The filter must contain a dot",
            {});
        row("file", "tree/a.txt", "*.*", 1, kStamp, "The file's times were changed.", "",
            {"a.txt"});
        row("file refusing", "tree/a.txt", "*.*", 0, kStamp, "The file could not be changed.", "",
            {});
        row("before 1601", "tree", "*.txt", 1, {1600, 12, 31, 23, 59, 59, 0}, "",
            "The date must lie between " + Text({1601, 1, 1, 0, 0, 0, 0}), {});
        row("1601", "tree", "*.xyz", 1, {1601, 1, 1, 0, 0, 0, 0}, none, "", {});
        row("9999", "tree", "*.xyz", 1, {9999, 12, 31, 23, 59, 59, 0}, none, "", {});
    }
    void ARunFromTheWindow() {
        QFETCH(QString, item);
        QFETCH(QString, filter);
        QFETCH(int, kind);
        QFETCH(LocalDateTime, date);
        QFETCH(QString, info);
        QFETCH(QString, message);
        QFETCH(QStringList, stamped);
        Window profile;
        const Tree tree(profile);
        if (kind == 0) {
            RefuseCreationTime(tree.root + "/a.txt");
        }
        frmMain& w = Prepare(profile, item);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize size = w.size();
        Control<QLineEdit>(w, "txtFilter")->setText(filter);
        Control<QComboBox>(w, "Combo3")->setEditText(w.TimeNameOf(kind));
        Control<QLineEdit>(w, "txtDateTime")->setText(Text(date));
        QCOMPARE(Click(w, "cmdExec"), !info.isEmpty());
        QCOMPARE(Info(w), info);
        QCOMPARE(profile.messages.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(message.isEmpty() || profile.messages[0].text.startsWith(message));
        for (const QString& name : tree.before | std::views::keys) {
            const QString relative = QDir(tree.root).relativeFilePath(name);
            QVERIFY2(tree.Stamped(relative) == stamped.contains(relative), qPrintable(relative));
        }
        // The progress bar had its place from the first show.
        QCOMPARE(w.size(), size);
        auto* progress = Control<QProgressBar>(w, "progress");
        QVERIFY(stamped.size() < 2 || (progress->value() == 5 && progress->maximum() == 5));
        QVERIFY(Control<QRadioButton>(w, "Option2(1)")->isEnabled());
    }

    // A run or an undo locks the window but for Cancel and About; Esc stops
    // it, the window says so and a cancelled undo leaves the run to undo.
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
        QVERIFY(w.IsRunning());
        QVERIFY(Control<QWidget>(w, "cmdCancel")->isVisible());
        QVERIFY(Control<QWidget>(w, "cmdAbout")->isEnabled());
        for (const char* name : {"cmdBrowse", "cmdUndo", "Option2(1)"}) {
            QVERIFY2(!Control<QWidget>(w, name)->isEnabled(), name);
        }
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(finished.wait(30000));
        QVERIFY(Info(w).startsWith(w.MainText(45)));
        // The items done of the total, never a full bar; none when the search
        // was stopped before it knew the total.
        auto* progress = Control<QProgressBar>(w, "progress");
        QVERIFY(!progress->isVisible() || progress->value() < progress->maximum());
        QVERIFY(undo ? tree.Kept() < qsizetype(tree.before.size()) : !tree.Stamped("."));
        QVERIFY(!undo || w.RunToUndo().has_value());
    }

    // A file system without user attributes (ramfs) keeps no creation time
    // that can be set: the lists say so, the run asks first, and its failures
    // are listed with the reason.
    void AKindThatCannotBeSetIsMarkedAskedAboutAndItsFailuresListed() {
        Window profile;
        const QString ram = profile.Path("tree");
        QVERIFY(QDir().mkpath(ram));
        QVERIFY2(mount("ramfs", ram.toUtf8().constData(), "ramfs", 0, nullptr) == 0, "needs root");
        const auto unmount = qScopeGuard([&] { umount2(ram.toUtf8().constData(), MNT_DETACH); });
        const Tree tree(profile);
        frmMain& w = Prepare(profile, "tree", "Recursive=False;Mode=1");
        Control<QLineEdit>(w, "txtFilter")->setText("a.txt");
        const QString marked = w.TimeNameOf(0) + " (not settable here)";
        for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
            QCOMPARE(Control<QComboBox>(w, name)->itemText(0), marked);
            QCOMPARE(Control<QComboBox>(w, name)->itemText(1), w.TimeNameOf(1));
        }
        Control<QComboBox>(w, "Combo3")->setEditText(marked);
        profile.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QVERIFY(!Click(w, "cmdExec"));
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].text, w.MainText(75).arg(w.TimeNameOf(0), tree.root));
        QVERIFY(Click(w, "cmdExec"));
        QCOMPARE(Info(w), "Files processed: 1, Failed: 1");
        auto* offer = Control<QPushButton>(w, "cmdFailures");
        QVERIFY(offer->isVisibleTo(&w));
        const QString shown = QDir::toNativeSeparators(tree.root + "/a.txt") + u'\t' +
                              w.MainText(91) + u'\t' + w.TimeNameOf(0) + ": " +
                              QString::fromStdString(w.Failures()[0].reason.text) + u'\n';
        const QString saved = profile.Path("failures.txt");
        QTimer::singleShot(0, [&] {
            auto* list = qobject_cast<FailureList*>(QApplication::activeModalWidget());
            QVERIFY(list != nullptr);
            QCOMPARE(list->Text(), shown);
            list->CopyText();
            QVERIFY(list->SaveText(saved));
            list->reject();
        });
        offer->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), shown);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), shown);
        // Another item makes the run's report go.
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(tree.root + "/b.txt")});
        w.HandleDrop(data);
        QVERIFY(!offer->isVisibleTo(&w));
        QVERIFY(!Control<QProgressBar>(w, "progress")->isVisibleTo(&w));
    }

    void TheFailureListSaysHowManyItLeftOut() {
        FailureList::Texts texts;
        texts.more = QStringLiteral("... and 7 more");
        const FailureList list({{"/x", "step", ""}}, texts, nullptr);
        QCOMPARE(list.Text(), QStringLiteral("/x\tstep\t\n... and 7 more\n"));
    }

    // Ctrl+Z asks first, naming the run by its local start; Yes puts the tree
    // back and the run is not offered again, No leaves it as it is.
    void UndoingTheLastRun_data() {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("yes") << MessageAnswer::Yes;
        QTest::newRow("no") << MessageAnswer::No;
    }
    void UndoingTheLastRun() {
        QFETCH(MessageAnswer, answer);
        Window profile;
        const Tree tree(profile);
        frmMain& w = Prepare(profile, "tree");
        QVERIFY(!Control<QPushButton>(w, "cmdUndo")->isEnabled());
        QVERIFY(Click(w, "cmdExec"));
        QCOMPARE(tree.Kept(), 0);
        const auto journals = engine::ListJournals(engine::JournalFolder());
        QCOMPARE(journals.size(), std::size_t{1});
        QCOMPARE(journals[0].head.program, std::string("Stampwell"));
        QCOMPARE(QString::fromStdString(journals[0].head.item), tree.root);
        const QString ran = Info(w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        qputenv("TZ", "Asia/Kolkata");
        tzset();
        profile.answers = {answer};
        QSignalSpy finished(&w, &frmMain::runFinished);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        // The button's shortcut clicks it as an animation, a moment later.
        QTRY_COMPARE(profile.messages.size(), 1);
        qunsetenv("TZ");
        tzset();
        const QDateTime utc = QDateTime::fromString(
            QString::fromStdString(journals[0].head.started).left(19), Qt::ISODate);
        const QDateTime local = QDateTime(utc.date(), utc.time(), QTimeZone::utc())
                                    .toTimeZone(QTimeZone("Asia/Kolkata"));
        QVERIFY(profile.messages[0].text.contains(
            Text({local.date().year(), local.date().month(), local.date().day(),
                  local.time().hour(), local.time().minute(), local.time().second(), 0})));
        QVERIFY(profile.messages[0].text.contains(" 6 "));
        QCOMPARE(profile.messages[0].buttons, MessageButtons::YesNo);
        const bool undone = answer == MessageAnswer::Yes;
        QVERIFY(!undone || finished.wait(30000));
        QCOMPARE(tree.Kept(), undone ? qsizetype(tree.before.size()) : 0);
        QCOMPARE(Info(w), undone ? "Restored: 6, Skipped: 0, Failed: 0" : ran);
        QCOMPARE(w.RunToUndo().has_value(), !undone);
        QCOMPARE(Control<QPushButton>(w, "cmdUndo")->isEnabled(), !undone);
    }

    void WithoutAJournalTheWindowAsksBeforeTheRun_data() {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("yes runs without one") << MessageAnswer::Yes;
        QTest::newRow("no starts nothing") << MessageAnswer::No;
    }
    void WithoutAJournalTheWindowAsksBeforeTheRun() {
        QFETCH(MessageAnswer, answer);
        Window profile;
        const Tree tree(profile);
        // The state folder's place is taken by a file: no journal can be made.
        profile.Touch("state");
        frmMain& w = Prepare(profile, "tree");
        profile.answers = {answer};
        QCOMPARE(Click(w, "cmdExec"), answer == MessageAnswer::Yes);
        QCOMPARE(profile.messages.size(), 1);
        const QString question = profile.messages[0].text;
        QVERIFY(question.startsWith("The journal of this run cannot be created ("));
        QVERIFY(!question.contains("(%1)") && !question.contains("()"));
        QCOMPARE(profile.messages[0].buttons, MessageButtons::YesNo);
        QCOMPARE(tree.Kept(), answer == MessageAnswer::Yes ? 0 : qsizetype(tree.before.size()));
        QVERIFY(!w.RunToUndo().has_value());
    }

    void ARunCutShortIsOfferedAtStart_data() {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("yes undoes it") << MessageAnswer::Yes;
        QTest::newRow("no keeps it") << MessageAnswer::No;
    }
    void ARunCutShortIsOfferedAtStart() {
        QFETCH(MessageAnswer, answer);
        Window profile;
        const Tree tree(profile);
        {
            // A run whose journal never got its end line, as after a crash.
            engine::Job job;
            job.path = tree.root.toStdString();
            job.recursive = true;
            job.times.type = engine::TimeOperation::Type::Set;
            job.times.target = engine::TimeKind::Modified;
            job.times.newTime = *stampwell::platform::FromLocal(kStamp);
            std::unique_ptr<engine::JournalWriter> journal;
            QVERIFY(
                !engine::StartJournal(engine::JournalFolder(), "Stampwell", job, journal).Failed());
            engine::RunCallbacks callbacks;
            callbacks.beforeWrite = [&journal](const engine::ItemReport& planned) {
                return journal->Add(planned);
            };
            engine::RunBatch(job, callbacks);
        }
        frmMain& w = Prepare(profile, "tree");
        profile.answers = {answer};
        QSignalSpy finished(&w, &frmMain::runFinished);
        w.OfferRecovery();
        QCOMPARE(profile.messages.size(), 1);
        QVERIFY(profile.messages[0].text.contains(tree.root));
        QCOMPARE(w.IsUndoing(), answer == MessageAnswer::Yes);
        if (answer == MessageAnswer::Yes) {
            QVERIFY(finished.wait(30000));
            QCOMPARE(Info(w), "Restored: 6, Skipped: 0, Failed: 0");
        }
        QCOMPARE(tree.Kept(), answer == MessageAnswer::Yes ? qsizetype(tree.before.size()) : 0);
        w.OfferRecovery();
        QCOMPARE(profile.messages.size(), 1);
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
