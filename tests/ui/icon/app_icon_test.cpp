#include "ui/icon/modAppIcon.h"

#include <QApplication>
#include <QDialog>
#include <QImageReader>
#include <QTest>
#include <QWindow>

using stampwell::ui::AppIconSizes;

namespace {

QImage Drawn(int size) {
    return QImage(QStringLiteral(":/icons/stampwell-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Each size the icon offers is the drawing of that size, not a scaled one.
bool ShowsEverySizeAsDrawn(const QIcon& icon) {
    const auto sizes = AppIconSizes();
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
    void EveryDrawnSizeIsPacked() {
        QCOMPARE(std::vector<int>(AppIconSizes().begin(), AppIconSizes().end()),
                 (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));
        for (const int size : AppIconSizes()) {
            const QImage image = Drawn(size);
            QCOMPARE(image.size(), QSize(size, size));
            // A real drawing on a transparent ground: clear corner, mostly solid.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            int opaque = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
                }
            }
            QVERIFY(opaque > size * size / 3);
        }
    }

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
        QVERIFY(ShowsEverySizeAsDrawn(dialog.windowIcon()));
        QCOMPARE(owner.testAttribute(Qt::WA_SetWindowIcon), owned && application);
        QVERIFY(!owned || !application || ShowsEverySizeAsDrawn(owner.windowIcon()));
        QCOMPARE(ShowsEverySizeAsDrawn(QApplication::windowIcon()), application);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(ShowsEverySizeAsDrawn(dialog.windowHandle()->icon()));
    }

    // The Windows icon group is rendered from the same drawings as the packed sizes.
    void WindowsIconFileHoldsEverySizeAsDrawn() {
        QImageReader reader(QStringLiteral(STAMPWELL_ICON_DIR "/stampwell.ico"));
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        std::vector<int> sizes;
        do {
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(image, Drawn(image.width()));
            sizes.push_back(image.width());
        } while (reader.jumpToNextImage());
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, std::vector<int>(AppIconSizes().begin(), AppIconSizes().end()));
    }
};

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
