#pragma once

#include <array>
#include <string>

// Stampupdate's texts and the update page's address, as UTF-16 text: the
// Windows program hands them to the wide API, the Qt window to QString.
namespace stampupdate {

inline constexpr char16_t kProductName[] = u"Stampwell";
inline constexpr char16_t kFamilyName[] = u"Quillbox";
inline constexpr char16_t kAbbreviation[] = u"QSW"; // family and product
// Where Stampwell keeps its record, below HKEY_CURRENT_USER.
inline constexpr char kRecordKey[] = "Software\\Olvadi\\Quillbox\\Stampwell";
// The maker's web site; every update page lies below it.
inline constexpr char16_t kSiteRoot[] = u"https://www.olvadi.com/";

// Version and language as the record gives them, made ready for use.
struct InstalledRelease {
    std::u16string version;
    std::u16string language;
};

using MessageLines3 = std::array<std::u16string, 3>;

// The text in lower case, by the platform's Unicode rules.
std::u16string LowerCase(const std::u16string& text);

// A language longer than 2 characters becomes its first 2 in lower case (a
// shorter one stays as it is, case included); an empty version becomes
// "NotFound", an empty language "en".
InstalledRelease NormaliseRecord(const std::u16string& version, const std::u16string& language);

// The three message lines for a language: German for exactly "de", English for
// exactly "en", three empty lines for any other.
MessageLines3 MessageLines(const std::u16string& language);

std::u16string QuestionTitle();

// Line 1, CR LF, line 2, CR LF, CR LF, line 3.
std::u16string QuestionText(const MessageLines3& lines);

// The update page: with a command line, the command line (whole, lower case)
// names the folder and the language the page; without one, the language names
// the folder and the version the page.
std::u16string TargetAddress(const InstalledRelease& release, const std::u16string& commandLine);

// What follows the program name in a Windows command line (the name quoted or
// not, then the blanks after it), kept whole.
std::u16string TextAfterProgramName(const std::u16string& commandLine);

} // namespace stampupdate
