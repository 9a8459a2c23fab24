#include "platform/itemtimes.h"
#include "platform/localtime.h"
#include "profile.h"
#include "support/datetimetext.h"
#include "ui/dialogs/failurelist.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <sys/mount.h>
#include <sys/xattr.h>

using stampwell::platform::ItemType;
using stampwell::platform::LocalDateTime;
using stampwell::ui::FailureList;
using stampwell::ui::frmMain;
using stampwell::ui::MessageAnswer;

namespace {

const LocalDateTime kStamp{2001, 2, 3, 4, 5, 6, 0};

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

LocalDateTime Modified(const QString& path, ItemType type) {
    stampwell::platform::ItemTimes times;
    stampwell::platform::ReadItemTimes(path.toStdString(), type, times);
    LocalDateTime local = stampwell::platform::ToLocal(times.modified);
    local.nanoseconds = 0;
    return local;
}

// tree/a.txt, tree/b.txt, tree/notes.log, tree/sub/c.txt
QString MakeTree(const Profile& profile) {
    const QString tree = profile.Path(QStringLiteral("tree"));
    QDir().mkpath(tree + QStringLiteral("/sub"));
    for (const char* name : {"/a.txt", "/b.txt", "/notes.log", "/sub/c.txt"}) {
        Touch(tree + QLatin1String(name));
    }
    return tree;
}

// Makes a file refuse a new creation time: its user.DOSATTRIB value is
// damaged, and Stampwell never writes over such a value.
void RefuseCreationTime(const QString& path) {
    static const char kDamaged[] = "0x20\0\5\0";
    QCOMPARE(
        setxattr(path.toUtf8().constData(), "user.DOSATTRIB", kDamaged, sizeof kDamaged - 1, 0), 0);
}

// A ramfs mounted on a folder for the life of the object.
struct RamFolder {
    explicit RamFolder(const QString& path) : path(path) {
        QDir().mkpath(path);
        mounted = mount("ramfs", path.toUtf8().constData(), "ramfs", 0, nullptr) == 0;
    }
    ~RamFolder() {
        if (mounted)
            umount2(path.toUtf8().constData(), MNT_DETACH);
    }
    QString path;
    bool mounted = false;
};

// A window on the tree that sets the last-write time of what it touches.
void ChooseSetModified(frmMain& w, const QString& filter) {
    Control<QRadioButton>(w, "Option2(2)")->setChecked(true);
    Control<QComboBox>(w, "Combo3")->setEditText(w.TimeNameOf(1));
    Control<QLineEdit>(w, "txtDateTime")
        ->setText(QString::fromStdString(stampwell::support::FormatDateTimeText(kStamp)));
    Control<QLineEdit>(w, "txtFilter")->setText(filter);
}

bool RunThroughTheWindow(frmMain& w) {
    QSignalSpy finished(&w, &frmMain::runFinished);
    QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
    return finished.count() == 1 || finished.wait(30000);
}

QString SaveScreenshot(frmMain& w, const QString& language) {
    const QString folder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/frmMain-%1.png").arg(language);
    w.grab().save(file);
    return file;
}

} // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void AWholeRunChangesTheTreeAndReportsTheCounts() {
        Profile profile;
        const QString tree = MakeTree(profile);
        profile.Set("Path", tree.toUtf8().constData());
        profile.Set("Recursive", "True");
        frmMain w;
        w.Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // One size from the first show: the progress bar has its place already.
        const QSize size = w.size();
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        ChooseSetModified(w, QStringLiteral("*.txt"));
        QVERIFY(Control<QPushButton>(w, "cmdExec")->isEnabled());
        QVERIFY(RunThroughTheWindow(w));
        QCOMPARE(w.size(), size);
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(),
                 w.MainText(7) + QStringLiteral(": 3, ") + w.MainText(54) + QStringLiteral(": 2"));
        for (const char* name : {"/a.txt", "/b.txt", "/sub/c.txt"}) {
            QCOMPARE(Modified(tree + QLatin1String(name), ItemType::File), kStamp);
        }
        QVERIFY(Modified(tree + QStringLiteral("/notes.log"), ItemType::File) != kStamp);
        QCOMPARE(Modified(tree + QStringLiteral("/sub"), ItemType::Folder), kStamp);
        QCOMPARE(Modified(tree, ItemType::Folder), kStamp);
        auto* progress = Control<QProgressBar>(w, "progress");
        QCOMPARE(progress->value(), 5);
        QCOMPARE(progress->maximum(), 5);
        QVERIFY(Control<QPushButton>(w, "cmdExec")->isVisible());
        QCOMPARE(Control<QPushButton>(w, "cmdExec")->text(), w.MainText(44));
        QVERIFY(Control<QRadioButton>(w, "Option2(1)")->isEnabled());
    }

    void ACancelledRunStopsAndSaysSo() {
        Profile profile;
        const QString tree = MakeTree(profile);
        // Enough files that the cancel arrives long before the run could end.
        QStringList files;
        for (int folder = 0; folder < 20; ++folder) {
            const QString sub = tree + QStringLiteral("/many%1").arg(folder);
            QDir().mkpath(sub);
            for (int i = 0; i < 100; ++i) {
                files.append(sub + QStringLiteral("/f%1.txt").arg(i));
                Touch(files.last());
            }
        }
        profile.Set("Path", tree.toUtf8().constData());
        profile.Set("Recursive", "True");
        profile.Set("Mode", "1");
        frmMain w;
        w.Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        ChooseSetModified(w, QStringLiteral("*.*"));
        QSignalSpy finished(&w, &frmMain::runFinished);
        QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
        QVERIFY(w.IsRunning());
        QVERIFY(Control<QPushButton>(w, "cmdCancel")->isVisible());
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), w.MainText(45));
        QVERIFY(finished.wait(30000));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), w.MainText(45));
        QVERIFY(!w.IsRunning());
        // The items done of the total, never a full bar; none when the search
        // was stopped before it knew the total.
        auto* progress = Control<QProgressBar>(w, "progress");
        QVERIFY(!progress->isVisible() || progress->value() < progress->maximum());
        qsizetype stamped = 0;
        for (const QString& file : files) {
            stamped += Modified(file, ItemType::File) == kStamp ? 1 : 0;
        }
        QVERIFY(stamped < files.size());
        QVERIFY(Modified(tree, ItemType::Folder) != kStamp);
    }

    void ARunThatFindsNothingChangesNothing() {
        Profile profile;
        const QString tree = MakeTree(profile);
        profile.Set("Path", tree.toUtf8().constData());
        profile.Set("Recursive", "True");
        frmMain w;
        w.Load();
        ChooseSetModified(w, QStringLiteral("*.xyz"));
        QVERIFY(RunThroughTheWindow(w));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), w.MainText(9));
        QVERIFY(Modified(tree, ItemType::Folder) != kStamp);
    }

    void AFilterWithoutAPointStopsTheStart() {
        Profile profile;
        const QString tree = MakeTree(profile);
        profile.Set("Path", tree.toUtf8().constData());
        frmMain w;
        w.Load();
        ChooseSetModified(w, QStringLiteral("*"));
        QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
        QVERIFY(!w.IsRunning());
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].text, w.MainText(55));
        QVERIFY(Modified(tree + QStringLiteral("/a.txt"), ItemType::File) != kStamp);
    }

    // A file system without user attributes (ramfs) keeps no creation time
    // that can be set: the lists say so, the run asks first, and its failures
    // are listed with the reason.
    void AKindThatCannotBeSetIsMarkedAskedAboutAndItsFailuresListed() {
        Profile profile;
        const RamFolder ram(profile.Path(QStringLiteral("tree")));
        QVERIFY2(ram.mounted, "mounting ramfs needs root");
        const QString tree = MakeTree(profile);
        profile.Set("Path", tree.toUtf8().constData());
        profile.Set("Recursive", "False");
        profile.Set("Mode", "1");
        frmMain w;
        w.Load();
        QVERIFY(!w.KindSettable(0));
        const QString marked = w.TimeNameOf(0) + QLatin1Char(' ') + w.MainText(74);
        for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
            auto* list = Control<QComboBox>(w, name);
            QCOMPARE(list->itemText(0), marked);
            QCOMPARE(list->itemText(1), w.TimeNameOf(1));
        }
        ChooseSetModified(w, QStringLiteral("a.txt"));
        Control<QComboBox>(w, "Combo3")->setEditText(marked);
        profile.answers.push_back(MessageAnswer::No);
        QTest::mouseClick(Control<QPushButton>(w, "cmdExec"), Qt::LeftButton);
        QVERIFY(!w.IsRunning());
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].text, w.MainText(75).arg(w.TimeNameOf(0), tree));

        profile.answers.push_back(MessageAnswer::Yes);
        QVERIFY(RunThroughTheWindow(w));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(),
                 w.MainText(7) + QStringLiteral(": 1, ") + w.MainText(56) + QStringLiteral(": 1"));
        auto* offer = Control<QPushButton>(w, "cmdFailures");
        QVERIFY(offer->isVisibleTo(&w));
        QCOMPARE(w.FailureCount(), 1u);
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* list = qobject_cast<FailureList*>(QApplication::activeModalWidget());
            QVERIFY(list != nullptr);
            shown = list->Text();
            list->CopyText();
            const QString saved = profile.Path(QStringLiteral("failures.txt"));
            QVERIFY(list->SaveText(saved));
            QFile file(saved);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(file.readAll()), shown);
            list->reject();
        });
        offer->click();
        const QString reason = w.TimeNameOf(0) + QStringLiteral(": ") +
                               QString::fromStdString(w.Failures()[0].reason.text);
        QCOMPARE(shown, QDir::toNativeSeparators(tree + QStringLiteral("/a.txt")) +
                            QLatin1Char('\t') + w.MainText(85 + 6) + QLatin1Char('\t') + reason +
                            QLatin1Char('\n'));
        QCOMPARE(QGuiApplication::clipboard()->text(), shown);

        // Another item makes the run's report go.
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(tree + QStringLiteral("/b.txt"))});
        w.HandleDrop(*data);
        delete data;
        QVERIFY(!offer->isVisibleTo(&w));
        QVERIFY(!Control<QProgressBar>(w, "progress")->isVisibleTo(&w));
    }

    void TheListSaysHowManyFailuresItLeftOut() {
        FailureList::Texts texts;
        texts.more = QStringLiteral("... and 7 more");
        const FailureList list({{QStringLiteral("/x"), QStringLiteral("step"), QString()}}, texts,
                               nullptr);
        QCOMPARE(list.Text(), QStringLiteral("/x\tstep\t\n... and 7 more\n"));
        QCOMPARE(list.findChild<QLabel*>(QStringLiteral("more"))->text(), texts.more);
    }

    void ASingleFileReportsWhetherItsChangeWorked() {
        Profile profile;
        const QString tree = MakeTree(profile);
        profile.Set("Path", (tree + QStringLiteral("/a.txt")).toUtf8().constData());
        frmMain w;
        w.Load();
        QVERIFY(!w.IsFolder());
        ChooseSetModified(w, QStringLiteral("*.*"));
        QVERIFY(RunThroughTheWindow(w));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), w.MainText(32));
        QCOMPARE(Modified(tree + QStringLiteral("/a.txt"), ItemType::File), kStamp);
        QCOMPARE(w.Mode(), 3);
        RefuseCreationTime(tree + QStringLiteral("/a.txt"));
        Control<QComboBox>(w, "Combo3")->setEditText(w.TimeNameOf(0));
        QVERIFY(RunThroughTheWindow(w));
        QCOMPARE(Control<QLabel>(w, "lblInfo")->text(), w.MainText(57));
    }

    void ScreenshotsInEnglishAndGerman() {
        for (const char* language : {"English", "Deutsch"}) {
            Profile profile(language);
            const QString tree = MakeTree(profile);
            profile.Set("Path", tree.toUtf8().constData());
            profile.Set("Recursive", "True");
            profile.Set("Index", "2");
            profile.Set("Attrib", "1");
            profile.Set("Archive", "True");
            frmMain w;
            w.Load();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            const QString file = SaveScreenshot(w, QLatin1String(language));
            QVERIFY(QImage(file).width() > 100);
        }
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
