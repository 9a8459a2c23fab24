#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "ui/icon/modAppIcon.h"
#include "ui/main/frmMain.h"
#include "ui/main/qtext.h"
#include "ui/main/qttranslation.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

// The window's texts from the language file, and the load handler.
namespace stampwell::ui {

namespace {

// Keys t0 to t74 of the table, t75, t76 for the failure texts, t77 to t87
// for the journal and undo, t88 to t120 for the texts from MainText 69 on.
constexpr int kLanguageKeys = 121;

// Language texts are read with at most 255 characters.
QString ReadMainKey(int key) {
    const std::string text = app::ReadLang("SWfrmMain", "t" + std::to_string(key), "");
    return FromStd(text).left(255);
}

// The caption gives the button its mnemonic; the tooltip shows it without
// the mnemonic's mark.
void SetCaption(QAbstractButton* button, const QString& caption) {
    button->setText(caption);
    button->setToolTip(WithoutMnemonic(caption));
}

} // namespace

void frmMain::LoadLanguage() {
    setWindowTitle(QStringLiteral("Stampwell"));
    UseQtTranslation(app::Global().CurrentLanguage);
    mainText_.assign(kMainTextCount, QString());
    std::vector<QString> key(kLanguageKeys);
    for (int i = 0; i < kLanguageKeys; ++i) {
        key[static_cast<std::size_t>(i)] = ReadMainKey(i);
    }
    const auto t = [&key](int i) { return key[static_cast<std::size_t>(i)]; };
    app::GlobalState& global = app::Global();
    global.TimeName1 = ToStd(t(0));
    global.TimeName2 = ToStd(t(1));
    global.TimeName3 = ToStd(t(2));

    SetCaption(cmdBrowse, t(3));
    const QString blank = QStringLiteral(" ");
    Frame1->setTitle(blank + t(4));
    Frame2->setTitle(blank + t(5));
    Frame3->setTitle(blank + t(6));
    Frame4->setTitle(blank + t(7));
    Frame5->setTitle(t(8));
    chkRekursiv->setText(t(11));
    for (int i = 0; i < 3; ++i) {
        Option2[static_cast<std::size_t>(i)]->setText(t(12 + i));
        Option3[static_cast<std::size_t>(i)]->setText(t(15 + i));
    }
    for (int i = 0; i < 4; ++i) {
        chkAttr[static_cast<std::size_t>(i)]->setText(t(18 + i));
    }
    SetCaption(cmdHelp, t(22));
    SetCaption(cmdSettings, t(23));
    SetCaption(cmdExec, t(24));
    SetCaption(cmdQuit, t(25));

    const auto fill = [this, &t](int first, int firstKey, int count) {
        for (int i = 0; i < count; ++i) {
            mainText_[static_cast<std::size_t>(first + i)] = t(firstKey + i);
        }
    };
    fill(0, 26, 10);
    fill(10, 39, 2);
    chkExchange->setText(t(37));
    fill(12, 42, 8);
    fill(20, 0, 3);
    fill(23, 18, 4);
    fill(27, 50, 6);
    fill(33, 0, 3);
    fill(36, 56, 8);
    fill(44, 24, 1);
    fill(45, 64, 11);
    fill(56, 75, 2);
    fill(58, 77, 11);
    fill(69, 88, 33);
    SetCaption(cmdCancel, MainText(43));
    SetCaption(cmdUndo, MainText(65));
    cmdUndo->setToolTip(cmdUndo->toolTip() + QStringLiteral(" (") +
                        QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText) +
                        QStringLiteral(")"));
    SetCaption(cmdAbout, MainText(70));
    txtFilterButton[0]->setToolTip(MainText(71));
    txtFilterButton[1]->setToolTip(MainText(72));
    txtDateTimeButton->setToolTip(MainText(73));
    SetCaption(cmdFailures, MainText(76));

    SetDoWhatCaptions(chkRekursiv->isChecked());
    FillTimeCombos();
    ShowInfo();
}

void frmMain::SetComboLanguage() {
    for (QComboBox* list : {Combo1, Combo2, Combo3}) {
        for (int i = 0; i < 3; ++i) {
            if (list->currentText() == shownTimeName_[static_cast<std::size_t>(i)]) {
                list->setEditText(KindText(i));
                break;
            }
        }
    }
    lblInfo->setText(QString());
    ForgetRun();
    for (int i = 0; i < 3; ++i) {
        shownTimeName_[static_cast<std::size_t>(i)] = MainText(33 + i);
    }
}

void frmMain::Load() {
    loading_ = true;
    SetAppIcon(*this, true);
    app::GlobalState& global = app::Global();
    global.LanguageFilePath = app::LanguageFileFor(global.CurrentLanguage);
    LoadLanguage();
    LoadSettings();
    ShowInfo();
    OnFilterChanged();
    loading_ = false;
    for (int i = 0; i < 3; ++i) {
        shownTimeName_[static_cast<std::size_t>(i)] = MainText(33 + i);
    }
    SaveAppInfo();
    UpdateExecButton();
    FindRunToUndo();
    cmdUndo->setEnabled(runToUndo_.has_value());
}

} // namespace stampwell::ui
