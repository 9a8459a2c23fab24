#include "ui/main/modLinks.h"

#include "app/constants.h"

#include <QDesktopServices>
#include <QLocale>
#include <QUrl>

namespace stampwell::ui {

namespace {

std::function<void(const QString&)>& Handler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void OpenLink(const QString& address) {
    if (Handler()) {
        Handler()(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void SetLinkHandler(std::function<void(const QString&)> handler) {
    Handler() = std::move(handler);
}

QString HelpPageAddress() {
    return FromView(app::kHelpPage);
}

QString WebAddress() {
    return FromView(app::kWebPage);
}

QString SupportMailAddress() {
    return FromView(app::kMakerMail);
}

QString SupportMailLink(const QDate& day) {
    return QStringLiteral("mailto:") + SupportMailAddress() +
           QStringLiteral("?subject=Stampwell Request ") +
           QLocale::system().toString(day, QLocale::ShortFormat);
}

} // namespace stampwell::ui
