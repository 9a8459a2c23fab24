#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace stampwell::app {

// The first start's language choice: lists the language files, shows its own
// texts in the highlighted language, and on OK stores the name in the
// configuration file ([Options] Language).
class dlgLangSelect : public QDialog {
    Q_OBJECT
public:
    explicit dlgLangSelect(QWidget* parent = nullptr);

    // The name chosen with OK, without blanks around it; nothing before OK.
    const std::optional<std::string>& Chosen() const { return chosen_; }

    QComboBox* dxLanguage = nullptr;
    std::array<QLabel*, 2> lblMsg{};
    QPushButton* cmdOK = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;

private:
    void FillLanguageList();
    void LanguageChanged(const QString& text);
    void OkPressed();

    std::optional<std::string> chosen_;
};

} // namespace stampwell::app
