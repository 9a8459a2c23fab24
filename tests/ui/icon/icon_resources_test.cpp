// A program that links only the packed icon files, as Stampupdate does, finds
// every size without calling anything of Stampwell's.
#include <QImage>
#include <QTest>

class IconResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void EverySizeIsThereWithoutInitialisation() {
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            QCOMPARE(QImage(QStringLiteral(":/icons/stampwell-%1.png").arg(size)).size(),
                     QSize(size, size));
        }
    }
};

QTEST_MAIN(IconResourcesTest)
#include "icon_resources_test.moc"
