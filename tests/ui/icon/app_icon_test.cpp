#include "ui/icon/modAppIcon.h"

#include <QApplication>
#include <QDialog>
#include <QImageReader>
#include <QTest>
#include <QWindow>
#include <set>

namespace {

QImage Drawn(int size) {
    return QImage(QStringLiteral(":/icons/stampwell-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The icon offers every drawn size, each as drawn rather than scaled.
bool ShowsEverySizeAsDrawn(const QIcon& icon) {
    const auto sizes = stampwell::ui::AppIconSizes();
    return icon.availableSizes().size() == qsizetype(sizes.size()) &&
           std::all_of(sizes.begin(), sizes.end(), [&icon](int size) {
               return icon.pixmap(QSize(size, size))
                          .toImage()
                          .convertToFormat(QImage::Format_ARGB32_Premultiplied) == Drawn(size);
           });
}

} // namespace

class AppIconTest : public QObject {
    Q_OBJECT
private slots:
    // The window gets the icon; as the application's icon its owner and the
    // application get it too.
    void AWindowShowsTheIcon_data() {
        QTest::addColumn<bool>("owned");
        QTest::addColumn<bool>("application");
        QTest::newRow("dialog, application icon") << true << true;
        QTest::newRow("dialog alone") << true << false;
        QTest::newRow("window") << false << true;
    }
    void AWindowShowsTheIcon() {
        QFETCH(bool, owned);
        QFETCH(bool, application);
        QApplication::setWindowIcon(QIcon());
        QWidget owner;
        QDialog dialog(owned ? &owner : nullptr);
        QVERIFY(stampwell::ui::SetAppIcon(dialog, application));
        QCOMPARE(owner.testAttribute(Qt::WA_SetWindowIcon), owned && application);
        QCOMPARE(ShowsEverySizeAsDrawn(QApplication::windowIcon()), application);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(ShowsEverySizeAsDrawn(dialog.windowHandle()->icon()));
    }

    // The Windows icon file holds every drawn size, each as drawn.
    void TheWindowsIconFileHoldsEverySizeAsDrawn() {
        QImageReader reader(QStringLiteral(STAMPWELL_ICON_DIR "/stampwell.ico"));
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        std::set<int> sizes;
        do {
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(image, Drawn(image.width()));
            sizes.insert(image.width());
        } while (reader.jumpToNextImage());
        const auto drawn = stampwell::ui::AppIconSizes();
        QCOMPARE(sizes, std::set<int>(drawn.begin(), drawn.end()));
    }
};

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
