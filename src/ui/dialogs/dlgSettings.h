#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace stampwell::ui {

// The settings dialog: the language and the fifteen switches of section
// "Options". A language picked in the list is applied at once to the owner,
// to an open about box and to this dialog; Save stores the language and the
// switches, Cancel takes a picked language back. Loaded fresh for each opening.
class dlgSettings : public QDialog {
    Q_OBJECT
public:
    // relabelOwner reloads the owner's texts after the language changed.
    dlgSettings(QWidget* owner, std::function<void()> relabelOwner);

    // Reloads this dialog's texts from the current language file.
    void LoadLanguage();

    // The switches in the order the dialog loads them, by configuration key.
    static constexpr std::size_t kSwitchCount = 15;
    static const std::array<const char*, kSwitchCount>& SwitchKeys();

    const std::string& LanguageAtOpening() const { return languageAtOpening_; }

    // Esc: the same as the Cancel button.
    void reject() override;

protected:
    // The window's close box closes without taking a picked language back
    // and without writing.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void Load();
    void OnLanguagePicked();
    void ChangeLanguage(const std::string& language);
    void Save();
    void Cancel();
    QCheckBox* Switch(const char* key) const;

    std::function<void()> relabelOwner_;
    std::string languageAtOpening_;

    QComboBox* Combo1 = nullptr;
    QLabel* lblLanguage = nullptr;
    std::array<QLabel*, 3> Label1{}; // the headings: Save switches, folders, files
    std::array<QCheckBox*, kSwitchCount> switches_{};
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace stampwell::ui
