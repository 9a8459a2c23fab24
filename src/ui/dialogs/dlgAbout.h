#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <string_view>

class QLabel;
class QPushButton;

namespace stampwell::ui {

// The about box: name, version, banner, the notes of the current language,
// the web address (opens the online help) and the support address (starts a
// support message). Modeless and owned by the main window; one at a time.
class dlgAbout : public QDialog {
    Q_OBJECT
public:
    explicit dlgAbout(QWidget* owner);

    // Reloads the texts from the current language file.
    void LoadLanguage();

    // The version label for a version text "major.minor.revision":
    // "Version 3.01.000" for "3.01.00".
    static QString VersionLabel(std::string_view version);
    // The banner shown when there is no banner file beside the program.
    static QPixmap BuiltInBanner();
    // The banner file: program folder + bin + Stampwell.bmp.
    static QString BannerFile();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadBanner();

    QLabel* Image1;
    QLabel* lblVersion;
    QLabel* lblInfo;
    QLabel* lblFreeware;
    QLabel* lblWeb;
    QLabel* lblWeburl;
    QLabel* lblSupp;
    QLabel* lblSupport;
    QPushButton* cmdQuit;
};

// Opens the about box owned by owner, or brings the open one to the front
// without loading it again.
dlgAbout& ShowAboutBox(QWidget* owner);

// The about box while it is open, else null. However the box is closed, it
// counts as closed from that moment on.
dlgAbout* OpenAboutBox();
inline bool AboutBoxOpen() {
    return OpenAboutBox() != nullptr;
}

} // namespace stampwell::ui
