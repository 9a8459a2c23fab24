#include "ui/dialogs/dlgSettings.h"

#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "ui/dialogs/dlgAbout.h"
#include "ui/dialogs/modCenterForm.h"
#include "ui/main/qtext.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace stampwell::ui {

namespace {

// Key and built-in caption of each switch, in the order the dialog loads them.
struct SwitchInfo {
    const char* key;
    const char* caption;
};

constexpr std::array<SwitchInfo, dlgSettings::kSwitchCount> kSwitches{{
    {"SavePath", "Verzeichnis / Datei speichern"},
    {"SaveFilter", "Filter speichern"},
    {"SaveTime", "Dateizeiten speichern"},
    {"SaveAttrib", "Attribute speichern"},
    {"ChangeNormalFileTimes", "Zeiten von normalen Dateien ändern"},
    {"ChangeArchiveFileTimes", "Zeiten von Dateien mit Archiv-Attribut ändern"},
    {"ChangeReadOnlyFileTimes", "Zeiten von schreibgeschützten Dateien ändern"},
    {"ChangeSystemFileTimes", "Zeiten von Dateien mit System-Attribut ändern"},
    {"ChangeHiddenFileTimes", "Zeiten von versteckten Dateien ändern"},
    {"ChangeNormalDirTimes", "Zeiten von normalen Verzeichnissen ändern"},
    {"ChangeArchiveDirTimes", "Zeiten von Verzeichnissen mit Archiv-Attribut ändern"},
    {"ChangeReadOnlyDirTimes", "Zeiten von schreibgeschützten Verzeichnissen ändern"},
    {"ChangeSystemDirTimes", "Zeiten von Verzeichnissen mit System-Attribut ändern"},
    {"ChangeHiddenDirTimes", "Zeiten von versteckten Verzeichnissen ändern"},
    {"SysTray", "Icon in Symbolleiste wenn minimiert"},
}};

// Save writes the language, then the switches in this order.
constexpr std::array<const char*, dlgSettings::kSwitchCount> kSaveOrder{
    "SavePath",
    "SaveFilter",
    "SaveAttrib",
    "SaveTime",
    "ChangeNormalFileTimes",
    "ChangeArchiveFileTimes",
    "ChangeReadOnlyFileTimes",
    "ChangeSystemFileTimes",
    "ChangeHiddenFileTimes",
    "ChangeNormalDirTimes",
    "ChangeArchiveDirTimes",
    "ChangeReadOnlyDirTimes",
    "ChangeSystemDirTimes",
    "ChangeHiddenDirTimes",
    "SysTray",
};

// The languages the list offers, and the one taken when none is set.
const std::array<const char*, 2> kLanguages{"Deutsch", "English"};

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

const std::array<const char*, dlgSettings::kSwitchCount>& dlgSettings::SwitchKeys() {
    static const std::array<const char*, kSwitchCount> keys = [] {
        std::array<const char*, kSwitchCount> result{};
        std::transform(kSwitches.begin(), kSwitches.end(), result.begin(),
                       [](const SwitchInfo& info) { return info.key; });
        return result;
    }();
    return keys;
}

dlgSettings::dlgSettings(QWidget* owner, std::function<void()> relabelOwner)
    : QDialog(owner), relabelOwner_(std::move(relabelOwner)) {
    setObjectName(QStringLiteral("dlgSettings"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    Build();
    Load();
    connect(Combo1, &QComboBox::textActivated, this, &dlgSettings::OnLanguagePicked);
    connect(cmdSave, &QPushButton::clicked, this, &dlgSettings::Save);
    connect(cmdCancel, &QPushButton::clicked, this, &dlgSettings::Cancel);
}

void dlgSettings::Build() {
    Combo1 = Named(new QComboBox(this), QStringLiteral("Combo1"));
    // Shows any language name, also one that the list does not offer.
    Combo1->setEditable(true);
    Combo1->lineEdit()->setReadOnly(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    lblLanguage = Named(new QLabel(QStringLiteral("Sprache"), this), QStringLiteral("lblLanguage"));
    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        switches_[i] = Named(new QCheckBox(QString::fromUtf8(kSwitches[i].caption), this),
                             QStringLiteral("chk") + QLatin1String(kSwitches[i].key));
    }
    cmdSave = Named(new QPushButton(QStringLiteral("&Speichern"), this), QStringLiteral("cmdSave"));
    cmdCancel =
        Named(new QPushButton(QStringLiteral("&Abbrechen"), this), QStringLiteral("cmdCancel"));

    auto* language = new QHBoxLayout;
    language->addWidget(lblLanguage);
    language->addWidget(Combo1, 1);

    auto* Frame1 = Named(new QGroupBox(this), QStringLiteral("Frame1"));
    auto* saveLayout = new QVBoxLayout(Frame1);
    Label1[0] =
        Named(new QLabel(QStringLiteral("Einstellungen speichern"), Frame1), Indexed("Label1", 0));
    saveLayout->addWidget(Label1[0]);
    for (const char* key : {"SavePath", "SaveFilter", "SaveTime", "SaveAttrib", "SysTray"}) {
        saveLayout->addWidget(Switch(key));
    }

    auto* Frame4 = Named(new QGroupBox(this), QStringLiteral("Frame4"));
    auto* changeLayout = new QGridLayout(Frame4);
    Label1[2] = Named(new QLabel(QStringLiteral("Dateien"), Frame4), Indexed("Label1", 2));
    Label1[1] = Named(new QLabel(QStringLiteral("Verzeichnisse"), Frame4), Indexed("Label1", 1));
    changeLayout->addWidget(Label1[2], 0, 0);
    changeLayout->addWidget(Label1[1], 0, 1);
    for (int i = 0; i < 5; ++i) {
        changeLayout->addWidget(switches_[static_cast<std::size_t>(4 + i)], i + 1, 0);
        changeLayout->addWidget(switches_[static_cast<std::size_t>(9 + i)], i + 1, 1);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    cmdSave->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(language);
    layout->addWidget(Frame1);
    layout->addWidget(Frame4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QCheckBox* dlgSettings::Switch(const char* key) const {
    const auto* found =
        std::find_if(kSwitches.begin(), kSwitches.end(),
                     [key](const SwitchInfo& s) { return std::string_view(s.key) == key; });
    return switches_[static_cast<std::size_t>(found - kSwitches.begin())];
}

void dlgSettings::Load() {
    Combo1->clear();
    for (const char* language : kLanguages) {
        Combo1->addItem(QLatin1String(language));
    }
    app::GlobalState& global = app::Global();
    if (global.CurrentLanguage.empty()) {
        global.CurrentLanguage = kLanguages[0];
    }
    languageAtOpening_ = global.CurrentLanguage;
    const QString current = FromStd(global.CurrentLanguage);
    Combo1->setCurrentIndex(Combo1->findText(current));
    Combo1->setEditText(current);
    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        switches_[i]->setChecked(app::IniFlag(app::ReadIni("Options", kSwitches[i].key, "0")));
    }
    LoadLanguage();
}

void dlgSettings::LoadLanguage() {
    app::GlobalState& global = app::Global();
    global.LanguageFilePath = app::LanguageFileFor(global.CurrentLanguage);
    std::array<QString, 23> text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = FromStd(app::ReadLang("SWdlgSettings", "t" + std::to_string(i), ""));
    }
    setWindowTitle(QStringLiteral("Stampwell ") + text[0]);
    lblLanguage->setText(text[1]);
    Switch("SavePath")->setText(text[2]);
    Switch("SaveTime")->setText(text[3]);
    Switch("SaveAttrib")->setText(text[4]);
    Label1[0]->setText(text[5]);
    Label1[1]->setText(text[6]);
    Label1[2]->setText(text[7]);
    cmdCancel->setText(text[8]);
    cmdCancel->setToolTip(WithoutMnemonic(text[8]));
    cmdSave->setText(text[9]);
    cmdSave->setToolTip(WithoutMnemonic(text[9]));
    Switch("SysTray")->setText(text[10]);
    Switch("SaveFilter")->setText(text[11]);
    // t13 to t22: the ten Change switches, files then folders.
    for (std::size_t i = 0; i < 10; ++i) {
        switches_[4 + i]->setText(text[13 + i]);
    }
}

void dlgSettings::OnLanguagePicked() {
    const std::string picked = ToStd(Combo1->currentText());
    if (picked != app::Global().CurrentLanguage) {
        ChangeLanguage(picked);
    }
}

void dlgSettings::ChangeLanguage(const std::string& language) {
    app::GlobalState& global = app::Global();
    global.CurrentLanguage = language;
    global.LanguageFilePath = app::LanguageFileFor(language);
    if (relabelOwner_) {
        relabelOwner_();
    }
    if (dlgAbout* about = OpenAboutBox()) {
        about->LoadLanguage();
    }
    LoadLanguage();
}

void dlgSettings::Save() {
    app::WriteIni("Options", "Language", ToStd(Combo1->currentText()));
    for (const char* key : kSaveOrder) {
        app::WriteIni("Options", key, Switch(key)->isChecked() ? "True" : "False");
    }
    done(QDialog::Accepted);
}

void dlgSettings::Cancel() {
    if (app::Global().CurrentLanguage != languageAtOpening_) {
        ChangeLanguage(languageAtOpening_);
    }
    done(QDialog::Rejected);
}

void dlgSettings::reject() {
    Cancel();
}

void dlgSettings::closeEvent(QCloseEvent* event) {
    event->accept();
}

void dlgSettings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CenterForm(*this, parentWidget());
    }
}

} // namespace stampwell::ui
