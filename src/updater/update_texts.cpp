#include "updater/update_texts.h"

namespace stampupdate {

InstalledRelease NormaliseRecord(const QString& version, const QString& language) {
    InstalledRelease release{version, language};
    if (release.language.size() > 2) {
        release.language = release.language.left(2).toLower();
    }
    if (release.version.isEmpty()) {
        release.version = QStringLiteral("NotFound");
    }
    if (release.language.isEmpty()) {
        release.language = QStringLiteral("en");
    }
    return release;
}

QStringList MessageLines(const QString& language) {
    const QString product = QString::fromLatin1(kProductName);
    if (language == QLatin1String("de")) {
        return {QStringLiteral("Dies wird Ihren Browser öffnen um die Quillbox ") + product +
                    QStringLiteral(" Update Website zu besuchen!"),
                QStringLiteral("Hierzu benötigen Sie eine aktive Internetverbindung."),
                QStringLiteral("Möchten Sie jetzt Online gehen?")};
    }
    if (language == QLatin1String("en")) {
        return {QStringLiteral("This will open your browser to visit the Quillbox ") + product +
                    QStringLiteral(" update website!"),
                QStringLiteral("An active internet connection is required."),
                QStringLiteral("Do you want to go online now?")};
    }
    return {QString(), QString(), QString()};
}

QString QuestionTitle() {
    return QString::fromLatin1(kFamilyName) + u' ' + QString::fromLatin1(kProductName) +
           QStringLiteral(" Update");
}

QString QuestionText(const QStringList& lines) {
    return lines.value(0) + QStringLiteral("\r\n") + lines.value(1) + QStringLiteral("\r\n\r\n") +
           lines.value(2);
}

QString TargetAddress(const InstalledRelease& release, const QString& commandLine) {
    const QString folder =
        QString::fromLatin1(kSiteRoot) + QString::fromLatin1(kProductName).toLower() + u'/' +
        (commandLine.isEmpty() ? release.language.left(2).toLower() : commandLine.toLower()) +
        QStringLiteral("/update/");
    const QString page = commandLine.isEmpty() ? release.version : release.language;
    return folder + QString::fromLatin1(kAbbreviation) + u'_' + page + QStringLiteral(".htm");
}

QString CommandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(u' ');
}

} // namespace stampupdate
