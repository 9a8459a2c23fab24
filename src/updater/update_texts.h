#pragma once

#include <QString>
#include <QStringList>

namespace stampupdate {

inline constexpr char kProductName[] = "Stampwell";
inline constexpr char kFamilyName[] = "Quillbox";
inline constexpr char kAbbreviation[] = "QSW"; // family and product
// Where Stampwell keeps its record, below HKEY_CURRENT_USER.
inline constexpr char kRecordKey[] = "Software\\Olvadi\\Quillbox\\Stampwell";
// The maker's web site; every update page lies below it.
inline constexpr char kSiteRoot[] = "https://www.olvadi.com/";

// Version and language as the record gives them, made ready for use.
struct InstalledRelease {
    QString version;
    QString language;
};

// A language longer than 2 characters becomes its first 2 in lower case (a
// shorter one stays as it is, case included); an empty version becomes
// "NotFound", an empty language "en".
InstalledRelease NormaliseRecord(const QString& version, const QString& language);

// The three message lines for a language: German for exactly "de", English for
// exactly "en", three empty lines for any other.
QStringList MessageLines(const QString& language);

QString QuestionTitle();

// Line 1, CR LF, line 2, CR LF, CR LF, line 3.
QString QuestionText(const QStringList& lines);

// The update page: with a command line, the command line (whole, lower case)
// names the folder and the language the page; without one, the language names
// the folder and the version the page.
QString TargetAddress(const InstalledRelease& release, const QString& commandLine);

// The command line after the program name: the arguments as given, joined by
// one blank each, with nothing trimmed.
QString CommandLineText(const QStringList& arguments);

} // namespace stampupdate
