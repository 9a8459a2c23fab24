#include "engine/journalledrun.h"
#include "platform/itemtimes.h"
#include "platform/localtime.h"
#include "profile.h"
#include "support/datetimetext.h"
#include "ui/main/frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeZone>
#include <ctime>
#include <map>

using stampwell::platform::FileTime;
using stampwell::platform::ItemType;
using stampwell::platform::LocalDateTime;
using stampwell::ui::frmMain;
using stampwell::ui::MessageAnswer;
namespace engine = stampwell::engine;

Q_DECLARE_METATYPE(LocalDateTime)
Q_DECLARE_METATYPE(MessageAnswer)

namespace {

const LocalDateTime kStamp{2001, 2, 3, 4, 5, 6, 0};

using Times = std::map<QString, FileTime>;

std::optional<FileTime> Modified(const QString& path) {
    stampwell::platform::ItemTimes times;
    stampwell::platform::ReadItemTimes(
        path.toStdString(), QFileInfo(path).isDir() ? ItemType::Folder : ItemType::File, times);
    return times.modified;
}

// tree/a.txt, tree/b.txt, tree/sub/c.txt and `extra` more files in tree/many;
// the last-write times of them all and of the folders.
Times MakeTree(const Profile& profile, int extra = 0) {
    const QString tree = profile.Path(QStringLiteral("tree"));
    QDir().mkpath(tree + QStringLiteral("/sub"));
    QStringList files{QStringLiteral("/a.txt"), QStringLiteral("/b.txt"),
                      QStringLiteral("/sub/c.txt")};
    if (extra > 0) {
        QDir().mkpath(tree + QStringLiteral("/many"));
    }
    for (int i = 0; i < extra; ++i) {
        files.append(QStringLiteral("/many/f%1.txt").arg(i));
    }
    Times times;
    for (const QString& name : files) {
        QFile file(tree + name);
        file.open(QIODevice::WriteOnly);
        file.write("x");
        file.close();
        // A time far from kStamp and from now, that only an undo brings back.
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime(QDate(2011, 5, 6), QTime(7, 8, 9, 123)),
                         QFileDevice::FileModificationTime);
    }
    for (const QString& name : files) {
        times[tree + name] = *Modified(tree + name);
    }
    for (const QString& folder : {tree, tree + QStringLiteral("/sub")}) {
        times[folder] = *Modified(folder);
    }
    return times;
}

QString Tree(const Profile& profile) {
    return profile.Path(QStringLiteral("tree"));
}

// A window on the tree, set to change the last-write time of every file and folder.
void Prepare(Profile& profile, frmMain& w) {
    profile.Set("Path", Tree(profile).toUtf8().constData());
    profile.Set("Recursive", "True");
    w.Load();
    w.show();
    Control<QRadioButton>(w, "Option2(2)")->setChecked(true);
    Control<QComboBox>(w, "Combo3")->setEditText(w.TimeNameOf(1));
    Control<QLineEdit>(w, "txtDateTime")
        ->setText(QString::fromStdString(stampwell::support::FormatDateTimeText(kStamp)));
}

bool Click(frmMain& w, const char* button) {
    QSignalSpy finished(&w, &frmMain::runFinished);
    QTest::mouseClick(Control<QPushButton>(w, button), Qt::LeftButton);
    return w.IsRunning() && finished.wait(30000);
}

qsizetype CountKept(const Times& times) {
    qsizetype kept = 0;
    for (const auto& [path, time] : times) {
        kept += Modified(path) == time ? 1 : 0;
    }
    return kept;
}

QString Counts(const frmMain& w, int restored, int skipped, int failed) {
    return QStringLiteral("%1: %2, %3: %4, %5: %6")
        .arg(w.MainText(63))
        .arg(restored)
        .arg(w.MainText(64))
        .arg(skipped)
        .arg(w.MainText(56))
        .arg(failed);
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT
private slots:
    void ARunIsJournalledAndItsUndoPutsTheTreeBack() {
        Profile profile;
        const Times before = MakeTree(profile);
        frmMain w;
        Prepare(profile, w);
        QVERIFY(!Control<QPushButton>(w, "cmdUndo")->isEnabled());
        QVERIFY(Click(w, "cmdExec"));
        QCOMPARE(CountKept(before), 0);
        const auto journals = engine::ListJournals(engine::JournalFolder());
        QCOMPARE(journals.size(), std::size_t{1});
        QCOMPARE(journals[0].head.program, std::string("Stampwell"));
        QCOMPARE(QString::fromStdString(journals[0].head.item), Tree(profile));
        QVERIFY(w.RunToUndo().has_value());
        QVERIFY(Control<QPushButton>(w, "cmdUndo")->isEnabled());

        profile.answers = {MessageAnswer::Yes};
        QVERIFY(Click(w, "cmdUndo"));
        QCOMPARE(profile.messages.size(), 1);
        QVERIFY(profile.messages[0].text.contains(Tree(profile)));
        QVERIFY(profile.messages[0].text.contains(QStringLiteral(" 5 ")));
        QCOMPARE(CountKept(before), qsizetype(before.size()));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), Counts(w, 5, 0, 0));
        QCOMPARE(Control<QProgressBar>(w, "progress")->maximum(), 5);
        // The undone run is not offered again, nor is the undo itself.
        QVERIFY(!w.RunToUndo().has_value());
        QVERIFY(!Control<QPushButton>(w, "cmdUndo")->isEnabled());
        engine::Journal run;
        QVERIFY(!engine::ReadJournal(journals[0].file, run, false).Failed());
        QVERIFY(!run.undoneBy.empty());
    }

    void CtrlZAsksFirstWithTheLocalStartAndNoLeavesTheRunAsItIs() {
        Profile profile;
        const Times before = MakeTree(profile);
        frmMain w;
        Prepare(profile, w);
        QVERIFY(Click(w, "cmdExec"));
        QVERIFY(QTest::qWaitForWindowActive(&w));
        qputenv("TZ", "Asia/Kolkata");
        tzset();
        profile.answers = {MessageAnswer::No};
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        // The button's shortcut clicks it as an animation, a moment later.
        QTRY_COMPARE(profile.messages.size(), 1);
        qunsetenv("TZ");
        tzset();
        QCOMPARE(profile.messages[0].buttons, stampwell::ui::MessageButtons::YesNo);
        const QString started = QString::fromStdString(w.RunToUndo()->head.started);
        const QDateTime local =
            QDateTime(QDate::fromString(started.left(10), QStringLiteral("yyyy-MM-dd")),
                      QTime::fromString(started.mid(11, 8), QStringLiteral("HH:mm:ss")),
                      QTimeZone::utc())
                .toTimeZone(QTimeZone("Asia/Kolkata"));
        const LocalDateTime shown{local.date().year(),
                                  local.date().month(),
                                  local.date().day(),
                                  local.time().hour(),
                                  local.time().minute(),
                                  local.time().second(),
                                  0};
        QVERIFY(profile.messages[0].text.contains(
            QString::fromStdString(stampwell::support::FormatDateTimeText(shown))));
        QVERIFY(!w.IsRunning());
        QCOMPARE(CountKept(before), 0);
        QVERIFY(w.RunToUndo().has_value());
    }

    void WithoutAJournalTheWindowAsksBeforeTheRun_data() {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("yes runs without one") << MessageAnswer::Yes;
        QTest::newRow("no starts nothing") << MessageAnswer::No;
    }
    void WithoutAJournalTheWindowAsksBeforeTheRun() {
        QFETCH(MessageAnswer, answer);
        Profile profile;
        const Times before = MakeTree(profile);
        // The state folder's place is taken by a file: no journal can be made.
        const QString blocked = profile.Path(QStringLiteral("state"));
        QFile(blocked).open(QIODevice::WriteOnly);
        frmMain w;
        Prepare(profile, w);
        profile.answers = {answer};
        QSignalSpy finished(&w, &frmMain::runFinished);
        QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
        QCOMPARE(profile.messages.size(), 1);
        const QString question = profile.messages[0].text;
        const QString start = w.MainText(58).section(QStringLiteral("%1"), 0, 0);
        QVERIFY(!start.isEmpty() && question.startsWith(start));
        QVERIFY(!question.contains(QStringLiteral("%1")));
        QVERIFY(question.size() > w.MainText(58).size());
        QCOMPARE(profile.messages[0].buttons, stampwell::ui::MessageButtons::YesNo);
        QCOMPARE(w.IsRunning(), answer == MessageAnswer::Yes);
        if (answer == MessageAnswer::Yes) {
            QVERIFY(finished.wait(30000));
        }
        QCOMPARE(CountKept(before), answer == MessageAnswer::Yes ? 0 : qsizetype(before.size()));
        QVERIFY(!w.RunToUndo().has_value());
    }

    void ARunCutShortIsOfferedAtStart_data() {
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("yes undoes it") << MessageAnswer::Yes;
        QTest::newRow("no keeps it") << MessageAnswer::No;
    }
    void ARunCutShortIsOfferedAtStart() {
        QFETCH(MessageAnswer, answer);
        Profile profile;
        const Times before = MakeTree(profile);
        {
            // A run whose journal never got its end line, as after a crash.
            engine::Job job;
            job.path = Tree(profile).toStdString();
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
        QCOMPARE(engine::CutShortRuns(engine::JournalFolder()).size(), std::size_t{1});
        frmMain w;
        Prepare(profile, w);
        profile.answers = {answer};
        QSignalSpy finished(&w, &frmMain::runFinished);
        w.OfferRecovery();
        QCOMPARE(profile.messages.size(), 1);
        QVERIFY(profile.messages[0].text.contains(Tree(profile)));
        QCOMPARE(w.IsUndoing(), answer == MessageAnswer::Yes);
        if (answer == MessageAnswer::Yes) {
            QVERIFY(finished.wait(30000));
            QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), Counts(w, 5, 0, 0));
        }
        QCOMPARE(CountKept(before), answer == MessageAnswer::Yes ? qsizetype(before.size()) : 0);
        QVERIFY(engine::CutShortRuns(engine::JournalFolder()).empty());
        w.OfferRecovery();
        QCOMPARE(profile.messages.size(), 1);
    }

    void AnUndoLocksTheWindowAndCanBeCancelled() {
        Profile profile;
        const Times before = MakeTree(profile, 2000);
        frmMain w;
        Prepare(profile, w);
        QVERIFY(Click(w, "cmdExec"));
        profile.answers = {MessageAnswer::Yes};
        QSignalSpy finished(&w, &frmMain::runFinished);
        QTest::mouseClick(Control<QPushButton>(w, "cmdUndo"), Qt::LeftButton);
        QVERIFY(w.IsUndoing());
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), w.MainText(62));
        QVERIFY(!Control<QPushButton>(w, "cmdUndo")->isEnabled());
        QVERIFY(!Control<QRadioButton>(w, "Option2(1)")->isEnabled());
        auto* cancel = Control<QPushButton>(w, "cmdCancel");
        QVERIFY(cancel->isVisible() && cancel->isEnabled());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(finished.wait(30000));
        QVERIFY(Control<QLabel>(w, "lblInfo")->text().startsWith(w.MainText(45)));
        QVERIFY(CountKept(before) < qsizetype(before.size()));
        // A cancelled undo leaves the run to undo.
        QVERIFY(w.RunToUndo().has_value());
        QVERIFY(Control<QPushButton>(w, "cmdUndo")->isEnabled());
    }

    void DatesOutsideTheStorableRangeAreRefused_data() {
        QTest::addColumn<LocalDateTime>("date");
        QTest::addColumn<bool>("refused");
        QTest::newRow("before 1601") << LocalDateTime{1600, 12, 31, 23, 59, 59, 0} << true;
        QTest::newRow("first second") << LocalDateTime{1601, 1, 1, 0, 0, 0, 0} << false;
        QTest::newRow("year 9999") << LocalDateTime{9999, 12, 31, 23, 59, 59, 0} << false;
    }
    void DatesOutsideTheStorableRangeAreRefused() {
        QFETCH(LocalDateTime, date);
        QFETCH(bool, refused);
        Profile profile;
        MakeTree(profile);
        frmMain w;
        Prepare(profile, w);
        Control<QLineEdit>(w, "txtDateTime")
            ->setText(QString::fromStdString(stampwell::support::FormatDateTimeText(date)));
        QSignalSpy finished(&w, &frmMain::runFinished);
        QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
        QCOMPARE(w.IsRunning(), !refused);
        QCOMPARE(profile.messages.size(), refused ? 1 : 0);
        if (refused) {
            const QString first = QString::fromStdString(
                stampwell::support::FormatDateTimeText(LocalDateTime{1601, 1, 1, 0, 0, 0, 0}));
            const QString last = QString::fromStdString(stampwell::support::FormatDateTimeText(
                LocalDateTime{30827, 12, 31, 23, 59, 59, 0}));
            QCOMPARE(profile.messages[0].text, w.MainText(68).arg(first, last));
            QVERIFY(engine::ListJournals(engine::JournalFolder()).empty());
        } else {
            QVERIFY(finished.wait(30000));
        }
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
