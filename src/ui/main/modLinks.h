#pragma once

#include <QDate>
#include <QString>
#include <functional>

// Web pages and mail go to the platform's default browser and mail program;
// every such address passes through OpenLink.
namespace stampwell::ui {

// Hands address to the platform's default handler. A failure (no browser, no
// mail program) is not reported.
void OpenLink(const QString& address);

// Replaces the platform's handlers by a function (tests record the
// addresses); an empty function restores them.
void SetLinkHandler(std::function<void(const QString&)> handler);

// The online help page.
QString HelpPageAddress();

// The maker's web address and the support mail address, as the about box shows them.
QString WebAddress();
QString SupportMailAddress();

// A new support message: the support address with the subject
// "Stampwell Request " and the day in the system's short date form, as it stands.
QString SupportMailLink(const QDate& day);

} // namespace stampwell::ui
