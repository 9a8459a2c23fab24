#include "ui/icon/modAppIcon.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>

namespace {

// The icon offers every drawn size.
bool ShowsEverySize(const QIcon& icon) {
    QList<QSize> sizes;
    for (const int size : stampwell::ui::AppIconSizes()) {
        sizes.append(QSize(size, size));
    }
    return icon.availableSizes() == sizes;
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
            QCOMPARE(ShowsEverySize(QApplication::windowIcon()), application);
            dialog.show();
            QVERIFY(ShowsEverySize(dialog.windowHandle()->icon()));
        }
    }
};

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
