#include "ui/icon/modAppIcon.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>

namespace {

// The icon offers every drawn size, each as drawn rather than scaled.
bool ShowsEverySizeAsDrawn(const QIcon& icon) {
    const auto sizes = stampwell::ui::AppIconSizes();
    return icon.availableSizes().size() == qsizetype(sizes.size()) &&
           std::all_of(sizes.begin(), sizes.end(), [&icon](int size) {
               const auto format = QImage::Format_ARGB32_Premultiplied;
               return icon.pixmap(QSize(size, size)).toImage().convertToFormat(format) ==
                      QImage(QStringLiteral(":/icons/stampwell-%1.png").arg(size))
                          .convertToFormat(format);
           });
}

} // namespace

class AppIconTest : public QObject {
    Q_OBJECT
private slots:
    // The window gets the icon; as the application's icon its owner and the
    // application get it too.
    void AWindowShowsTheIcon() {
        for (const auto& [owned, application] :
             {std::pair{true, true}, {true, false}, {false, true}}) {
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
    }
};

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
