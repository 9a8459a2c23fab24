#include "updater/update_texts.h"

namespace stampupdate {

InstalledRelease NormaliseRecord(const std::u16string& version, const std::u16string& language) {
    InstalledRelease release{version, language};
    if (release.language.size() > 2) {
        release.language = LowerCase(release.language.substr(0, 2));
    }
    if (release.version.empty()) {
        release.version = u"NotFound";
    }
    if (release.language.empty()) {
        release.language = u"en";
    }
    return release;
}

MessageLines3 MessageLines(const std::u16string& language) {
    const std::u16string product = kProductName;
    if (language == u"de") {
        return {u"Dies wird Ihren Browser öffnen um die Quillbox " + product +
                    u" Update Website zu besuchen!",
                u"Hierzu benötigen Sie eine aktive Internetverbindung.",
                u"Möchten Sie jetzt Online gehen?"};
    }
    if (language == u"en") {
        return {u"This will open your browser to visit the Quillbox " + product +
                    u" update website!",
                u"An active internet connection is required.", u"Do you want to go online now?"};
    }
    return {};
}

std::u16string QuestionTitle() {
    return std::u16string(kFamilyName) + u' ' + kProductName + u" Update";
}

std::u16string QuestionText(const MessageLines3& lines) {
    return lines[0] + u"\r\n" + lines[1] + u"\r\n\r\n" + lines[2];
}

std::u16string TargetAddress(const InstalledRelease& release, const std::u16string& commandLine) {
    const std::u16string folder =
        kSiteRoot + LowerCase(kProductName) + u'/' +
        (commandLine.empty() ? LowerCase(release.language.substr(0, 2)) : LowerCase(commandLine)) +
        u"/update/";
    const std::u16string& page = commandLine.empty() ? release.version : release.language;
    return folder + kAbbreviation + u'_' + page + u".htm";
}

std::u16string TextAfterProgramName(const std::u16string& commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == u'"') {
        const std::size_t close = commandLine.find(u'"', 1);
        at = close == std::u16string::npos ? commandLine.size() : close + 1;
    } else {
        at = commandLine.find_first_of(u" \t");
        at = at == std::u16string::npos ? commandLine.size() : at;
    }
    at = commandLine.find_first_not_of(u" \t", at);
    return at == std::u16string::npos ? std::u16string() : commandLine.substr(at);
}

} // namespace stampupdate
