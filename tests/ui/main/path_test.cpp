#include "platform/attributes.h"
#include "profile.h"
#include "ui/main/clsToolTip.h"
#include "ui/main/frmMain.h"
#include "ui/main/modBrowseFolders.h"
#include "ui/main/modItemInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>

using stampwell::ui::BrowseDialog;
using stampwell::ui::frmMain;
using stampwell::ui::MessageAnswer;

namespace {

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QMimeData* Files(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths) {
        urls.append(QUrl::fromLocalFile(p));
    }
    data->setUrls(urls);
    return data;
}

// Answers the browse dialog once it is open: picks the path, or cancels for "".
void AnswerBrowse(const QString& path) {
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<BrowseDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->Select(path);
        dialog->accept();
    });
}

QString BalloonText(const frmMain& w) {
    return w.InfoBalloon()->TextOf(w.findChild<QGroupBox*>(QStringLiteral("Frame2")));
}

} // namespace

class PathTest : public QObject {
    Q_OBJECT
private slots:
    void BrowsingToAFolderOrAFileSetsTheScopeControls() {
        Profile profile;
        profile.Set("Mode", "2");
        const QString folder = profile.Path(QStringLiteral("tree"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + QStringLiteral("/a.txt");
        Touch(file);
        frmMain w;
        w.Load();
        w.show();
        AnswerBrowse(folder);
        w.Browse();
        QCOMPARE(w.CurrentPath(), QDir::toNativeSeparators(folder));
        QVERIFY(w.IsFolder());
        QVERIFY(Control<QCheckBox>(w, "chkRekursiv")->isEnabled());
        QVERIFY(Control<QRadioButton>(w, "chkDoWhat(1)")->isEnabled());
        QVERIFY(!Control<QLineEdit>(w, "txtFilter")->isEnabled()); // folders only
        QVERIFY(Control<QLabel>(w, "lblPath")->text().endsWith(QStringLiteral("tree ")));
        AnswerBrowse(file);
        w.Browse();
        QVERIFY(!w.IsFolder());
        QVERIFY(!Control<QCheckBox>(w, "chkRekursiv")->isEnabled());
        QVERIFY(!Control<QRadioButton>(w, "chkDoWhat(0)")->isEnabled());
        AnswerBrowse(QString());
        w.Browse();
        QCOMPARE(w.CurrentPath(), QDir::toNativeSeparators(file));
        QVERIFY(profile.messages.isEmpty());
    }

    void BrowseOpensTitledAtTheCurrentPath() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        frmMain w;
        w.Load();
        QString title, selected, status;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<BrowseDialog*>(QApplication::activeModalWidget());
            title = dialog->windowTitle();
            selected = dialog->SelectedPath();
            status = dialog->StatusText();
            dialog->reject();
        });
        w.Browse();
        QCOMPARE(title, w.MainText(0));
        QVERIFY(status.startsWith(w.MainText(69) + QLatin1Char(' ')));
        QCOMPARE(selected, QDir::toNativeSeparators(profile.root.path()));
    }

    void DroppingOneItemChoosesIt() {
        Profile profile;
        const QString folder = profile.Path(QStringLiteral("dropped"));
        QVERIFY(QDir().mkpath(folder));
        frmMain w;
        w.Load();
        std::unique_ptr<QMimeData> data(Files({folder}));
        w.HandleDrop(*data);
        QCOMPARE(w.CurrentPath(), QDir::toNativeSeparators(folder));
        QVERIFY(w.IsFolder());
        QVERIFY(Control<QLineEdit>(w, "txtFilter")->isEnabled());
        QVERIFY(BalloonText(w).contains(QDir::toNativeSeparators(folder)));
    }

    void DroppingAMissingItemSaysSoAsBrowsingDoes() {
        Profile profile;
        frmMain w;
        w.Load();
        std::unique_ptr<QMimeData> data(Files({profile.Path(QStringLiteral("missing"))}));
        w.HandleDrop(*data);
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].text, w.MainText(1));
        QCOMPARE(profile.messages[0].title, w.MainText(2));
        QCOMPARE(w.CurrentPath(), QString());
    }

    void TheCommandLineItemIsTakenAsIfDropped() {
        Profile profile;
        QVERIFY(QDir().mkpath(profile.Path(QStringLiteral("given/sub"))));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(profile.Path(QStringLiteral("given"))));
        frmMain w;
        w.Load();
        w.OpenItem(QStringLiteral("sub/../sub"));
        QCOMPARE(w.CurrentPath(),
                 QDir::toNativeSeparators(profile.Path(QStringLiteral("given/sub"))));
        QVERIFY(w.IsFolder());
        QVERIFY(profile.messages.isEmpty());
        w.OpenItem(QStringLiteral("missing"));
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].text, w.MainText(1));
        QCOMPARE(profile.messages[0].title, w.MainText(2));
        QCOMPARE(w.CurrentPath(),
                 QDir::toNativeSeparators(profile.Path(QStringLiteral("given/sub"))));
    }

    void DroppingSeveralItemsOffersTheirFolder() {
        Profile profile;
        const QString folder = profile.Path(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(folder));
        QStringList files;
        for (const char* name : {"/1.txt", "/2.txt", "/3.txt"}) {
            files.append(folder + QLatin1String(name));
            Touch(files.last());
        }
        frmMain w;
        w.Load();
        std::unique_ptr<QMimeData> data(Files(files));
        profile.answers = {MessageAnswer::No};
        w.HandleDrop(*data);
        QCOMPARE(w.CurrentPath(), QString());
        QCOMPARE(profile.messages.size(), 1);
        QCOMPARE(profile.messages[0].buttons, stampwell::ui::MessageButtons::YesNo);
        QVERIFY(profile.messages[0].text.endsWith(QStringLiteral("\r\n\r\n") +
                                                  QDir::toNativeSeparators(folder)));
        profile.answers = {MessageAnswer::Yes};
        w.HandleDrop(*data);
        QCOMPARE(w.CurrentPath(), QDir::toNativeSeparators(folder));
        QVERIFY(w.IsFolder());
        QVERIFY(Control<QRadioButton>(w, "chkDoWhat(0)")->isEnabled());
        // A short folder path does not make the question complain about its words.
        QCOMPARE(profile.messages.size(), 2);
    }

    void DroppingTextWithoutFileNamesChangesNothing() {
        Profile profile;
        frmMain w;
        w.Load();
        QMimeData data;
        data.setText(QStringLiteral("just some text"));
        w.HandleDrop(data);
        QCOMPARE(w.CurrentPath(), QString());
        QVERIFY(profile.messages.isEmpty());
    }

    void ADropOnAFrameReachesTheWindow() {
        Profile profile;
        const QString folder = profile.Path(QStringLiteral("onframe"));
        QVERIFY(QDir().mkpath(folder));
        frmMain w;
        w.Load();
        w.show();
        std::unique_ptr<QMimeData> data(Files({folder}));
        auto* frame = Control<QGroupBox>(w, "Frame4");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &drop);
        QCOMPARE(w.CurrentPath(), QDir::toNativeSeparators(folder));
    }

    void TheBalloonDescribesAFolder() {
        Profile profile;
        frmMain w;
        w.Load();
        std::unique_ptr<QMimeData> data(Files({profile.root.path()}));
        w.HandleDrop(*data);
        const QStringList lines = BalloonText(w).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], w.MainText(17));
        QCOMPARE(lines[3], w.MainText(18));
        QCOMPARE(lines[8], w.MainText(19));
        QVERIFY(lines[5].startsWith(w.MainText(21) + QStringLiteral(": ")));
        QCOMPARE(lines[5].size(), w.MainText(21).size() + 2 + 19);
        QCOMPARE(lines[10], w.MainText(24) + QStringLiteral(": ") + w.MainText(29));
        QCOMPARE(w.InfoBalloon()->MaxWidth(), 400);
        QCOMPARE(w.InfoBalloon()->DelayTime(), 200);
        QCOMPARE(w.InfoBalloon()->VisibleTime(), 20000);
    }

    void TheBalloonDecodesTheFourAttributesWhateverElseIsSet() {
        Profile profile;
        const QString file = profile.Path(QStringLiteral("flags.txt"));
        Touch(file);
        // Read-only and System, plus the not-indexed and sparse bits.
        const std::uint32_t word =
            stampwell::platform::kAttrReadOnly | stampwell::platform::kAttrSystem | 0x2000 | 0x200;
        stampwell::platform::WriteAttributes(file.toStdString(), word);
        std::uint32_t kept = 0;
        stampwell::platform::ReadAttributes(file.toStdString(), kept);
        frmMain w;
        w.Load();
        std::unique_ptr<QMimeData> data(Files({file}));
        w.HandleDrop(*data);
        const QStringList lines = BalloonText(w).split(QStringLiteral("\r\n"));
        QCOMPARE(lines[0], w.MainText(15));
        QCOMPARE(lines[3], w.MainText(27));
        QCOMPARE(lines[8], w.MainText(16));
        const QString yes = w.MainText(28);
        const QString no = w.MainText(29);
        QCOMPARE(lines[9], w.MainText(23) + QStringLiteral(": ") + no);
        QCOMPARE(lines[10], w.MainText(24) + QStringLiteral(": ") + yes);
        QCOMPARE(lines[11], w.MainText(25) + QStringLiteral(": ") +
                                ((kept & stampwell::platform::kAttrSystem) ? yes : no));
        QCOMPARE(lines[12], w.MainText(26) + QStringLiteral(": ") + no);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }

    void TheBalloonDecodesAWordWithOtherBits() {
        const auto answers = stampwell::ui::AttributeAnswers(
            0x2000 | 0x20 | 0x1 | 0x400, QStringLiteral("Y"), QStringLiteral("N"));
        QCOMPARE(answers[0], QStringLiteral("Y")); // Archive
        QCOMPARE(answers[1], QStringLiteral("Y")); // Read-only
        QCOMPARE(answers[2], QStringLiteral("N")); // System
        QCOMPARE(answers[3], QStringLiteral("N")); // Hidden
    }

    void TimesThatCannotBeReadStayEmpty() {
        Profile profile;
        const QString file = profile.Path(QStringLiteral("first.txt"));
        Touch(file);
        const auto read =
            stampwell::ui::ReadItemDetails(file.toStdString(), stampwell::platform::ItemType::File,
                                           QStringLiteral("Y"), QStringLiteral("N"));
        QCOMPARE(read.modified.size(), 19);
        const auto missing = stampwell::ui::ReadItemDetails(
            profile.Path(QStringLiteral("gone")).toStdString(), stampwell::platform::ItemType::File,
            QStringLiteral("Y"), QStringLiteral("N"));
        QVERIFY(missing.created.isEmpty());
        QVERIFY(missing.modified.isEmpty());
        QVERIFY(missing.accessed.isEmpty());
        QVERIFY(missing.attributes[0].isEmpty());
    }

    void TheBalloonForAMissingPathOrNothingChosen() {
        Profile profile;
        {
            frmMain w;
            w.Load();
            QCOMPARE(BalloonText(w), w.MainText(38) + QStringLiteral("\r\n\r\n") + w.MainText(39));
        }
        profile.Set("Path", profile.Path(QStringLiteral("gone")).toUtf8().constData());
        frmMain w;
        w.Load();
        QCOMPARE(BalloonText(w), w.MainText(36) + QStringLiteral("\r\n\r\n") + w.MainText(37));
    }

    void TheBalloonIsExactlyAsLargeAsItsText_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("item");
        for (const char* language : {"English", "Deutsch"}) {
            for (const char* item : {"nothing", "deep folder", "file"}) {
                QTest::addRow("%s, %s", language, item)
                    << QString::fromLatin1(language) << QString::fromLatin1(item);
            }
        }
    }

    void TheBalloonIsExactlyAsLargeAsItsText() {
        QFETCH(QString, language);
        QFETCH(QString, item);
        Profile profile(language.toStdString());
        QString path;
        if (item == QLatin1String("deep folder")) {
            path = profile.Path(QStringLiteral("a_folder_with_a_rather_long_name/").repeated(8));
            QVERIFY(QDir().mkpath(path));
        } else if (item == QLatin1String("file")) {
            path = profile.Path(QStringLiteral("f.txt"));
            Touch(path);
        }
        if (!path.isEmpty()) {
            profile.Set("Path", path.toUtf8().constData());
        }
        frmMain w;
        w.Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* frame = Control<QGroupBox>(w, "Frame2");
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), frame->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &move);
        const_cast<stampwell::ui::clsToolTip*>(w.InfoBalloon())->ShowFor(frame);
        QWidget* balloon = w.InfoBalloon()->ShownBalloon();
        QVERIFY(balloon != nullptr);
        auto* text = balloon->findChild<QLabel*>(QStringLiteral("text"));
        // Wrapped at its own width the text needs the label's whole size, no more and no less.
        const QRect needed = text->fontMetrics().boundingRect(
            QRect(0, 0, text->width(), 100000), Qt::TextWordWrap | Qt::AlignLeft, text->text());
        QCOMPARE(text->size(), needed.size());
        QVERIFY(balloon->width() <= 400);
        QVERIFY(balloon->rect().contains(text->geometry()));
        auto* title = balloon->findChild<QLabel*>(QStringLiteral("title"));
        QVERIFY(title->isVisibleTo(balloon) == !path.isEmpty());
        QVERIFY(!title->isVisibleTo(balloon) ||
                title->geometry().bottom() < text->geometry().top());
    }

    void PointingAtTheFrameGivesTheBalloonItsTitleAndColours() {
        Profile profile;
        profile.Set("Path", profile.root.path().toUtf8().constData());
        frmMain w;
        w.Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* frame = Control<QGroupBox>(w, "Frame2");
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), frame->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &move);
        QCOMPARE(w.InfoBalloon()->Title(), w.MainText(30));
        QCOMPARE(w.InfoBalloon()->TitleIconKind(), 1);
        QCOMPARE(w.InfoBalloon()->BackColor(),
                 QApplication::palette().color(QPalette::ToolTipBase));
        QCOMPARE(w.InfoBalloon()->TextColor(),
                 QApplication::palette().color(QPalette::ToolTipText));
    }
};

QTEST_MAIN(PathTest)
#include "path_test.moc"
