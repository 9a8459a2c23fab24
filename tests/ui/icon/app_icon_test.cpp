#include "ui/icon/modAppIcon.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <set>

using stampwell::ui::AppIcon;
using stampwell::ui::AppIconSizes;
using stampwell::ui::SetAppIcon;

namespace {

std::set<int> ExpectedSizes() {
    const auto sizes = AppIconSizes();
    return {sizes.begin(), sizes.end()};
}

// The square sizes an icon offers, as a set of edge lengths (-1 for a non-square size).
std::set<int> SizesOf(const QIcon& icon) {
    std::set<int> sizes;
    for (const QSize& size : icon.availableSizes()) {
        sizes.insert(size.width() == size.height() ? size.width() : -1);
    }
    return sizes;
}

QImage PackedImage(int size) {
    return QImage(QStringLiteral(":/icons/stampwell-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class AppIconTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setWindowIcon(QIcon()); }

    void EveryDrawnSizeIsPackedAtItsSize() {
        QCOMPARE(ExpectedSizes(), (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
        for (const int size : AppIconSizes()) {
            const QImage image = PackedImage(size);
            QVERIFY2(!image.isNull(), qPrintable(QString::number(size)));
            QCOMPARE(image.size(), QSize(size, size));
            // A real drawing on a transparent ground: clear corner, mostly solid.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY(OpaquePixels(image) > size * size / 3);
        }
    }

    void IconShowsEachSizeAsDrawn() {
        const QIcon icon = AppIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(SizesOf(icon), ExpectedSizes());
        for (const int size : AppIconSizes()) {
            const QImage shown = icon.pixmap(QSize(size, size))
                                     .toImage()
                                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(shown, PackedImage(size));
        }
    }

    void SetAppIconGivesWindowOwnerAndApplicationTheIcon() {
        QWidget owner;
        QDialog dialog(&owner);
        QVERIFY(SetAppIcon(dialog));
        QCOMPARE(SizesOf(dialog.windowIcon()), ExpectedSizes());
        QVERIFY(owner.testAttribute(Qt::WA_SetWindowIcon));
        QCOMPARE(SizesOf(owner.windowIcon()), ExpectedSizes());
        QCOMPARE(SizesOf(QApplication::windowIcon()), ExpectedSizes());
    }

    void SetAppIconOnAnOwnerlessWindowGivesItTheIcon() {
        QWidget window;
        QVERIFY(SetAppIcon(window));
        QVERIFY(window.testAttribute(Qt::WA_SetWindowIcon));
        QCOMPARE(SizesOf(window.windowIcon()), ExpectedSizes());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(SizesOf(window.windowHandle()->icon()), ExpectedSizes());
    }

    void SetAppIconForTheWindowAloneLeavesOwnerAndApplication() {
        QWidget owner;
        QDialog dialog(&owner);
        QVERIFY(SetAppIcon(dialog, false));
        QCOMPARE(SizesOf(dialog.windowIcon()), ExpectedSizes());
        QVERIFY(!owner.testAttribute(Qt::WA_SetWindowIcon));
        QVERIFY(QApplication::windowIcon().isNull());
    }

    // The Windows icon group is rendered from the same drawings as the packed sizes.
    void WindowsIconFileHoldsEverySizeAsDrawn() {
        QImageReader reader(QStringLiteral(STAMPWELL_ICON_DIR "/stampwell.ico"));
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        std::set<int> sizes;
        do {
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.width(), image.height());
            QCOMPARE(image, PackedImage(image.width()));
            sizes.insert(image.width());
        } while (reader.jumpToNextImage());
        QCOMPARE(sizes, ExpectedSizes());
    }
};

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
