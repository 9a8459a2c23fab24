#include "app/dlgLangSelect.h"

#include "app/constants.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "support/modFSO.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace stampwell::app {

namespace {

QString Caption(const std::string& suffix) {
    return QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size())) +
           " - " + QString::fromStdString(suffix);
}

std::string WithoutBlanks(const QString& text) {
    std::string name = text.toStdString();
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

} // namespace

dlgLangSelect::dlgLangSelect(QWidget* parent) : QDialog(parent) {
    setModal(true);
    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    lblMsg[0] = new QLabel(tr("Please select a language:"), Frame1);
    dxLanguage = new QComboBox(Frame1);
    dxLanguage->setEditable(true);
    dxLanguage->setInsertPolicy(QComboBox::NoInsert);
    dxLanguage->setMinimumWidth(220);
    auto* frame1Layout = new QVBoxLayout(Frame1);
    frame1Layout->addWidget(lblMsg[0]);
    frame1Layout->addWidget(dxLanguage);

    Frame2 = new QFrame(this);
    lblMsg[1] =
        new QLabel(tr("Hint: You can change the language in the settings window also."), Frame2);
    lblMsg[1]->setWordWrap(true);
    cmdOK = new QPushButton(tr("Continue"), Frame2);
    cmdOK->setDefault(true);
    auto* frame2Layout = new QHBoxLayout(Frame2);
    frame2Layout->setContentsMargins(0, 0, 0, 0);
    frame2Layout->addWidget(lblMsg[1], 1);
    frame2Layout->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);

    connect(dxLanguage, &QComboBox::editTextChanged, this, &dlgLangSelect::LanguageChanged);
    connect(cmdOK, &QPushButton::clicked, this, &dlgLangSelect::OkPressed);
    FillLanguageList();
}

void dlgLangSelect::FillLanguageList() {
    const std::string& folder = Global().LanguageFolder;
    const QDir dir(QString::fromStdString(folder));
    // Files only, neither hidden nor system ones; by name, as Windows lists them.
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        if (name.contains("olv"))
            continue;
        if (support::GetExtensionName(support::BuildPath(folder, name.toStdString())) != "lng")
            continue;
        QString language = name;
        language.remove(".lng", Qt::CaseSensitive);
        dxLanguage->addItem(language);
    }
    {
        // Applied once below, whether or not the text changes.
        const QSignalBlocker quiet(dxLanguage);
        dxLanguage->setEditText("English");
    }
    LanguageChanged(dxLanguage->currentText());
    setWindowTitle(Caption("Welcome"));
}

void dlgLangSelect::LanguageChanged(const QString& text) {
    Global().LanguageFilePath = LanguageFileFor(WithoutBlanks(text));
    std::array<std::string, 5> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = ReadLang("dlgLangSelect", "t" + std::to_string(i), "");
    setWindowTitle(Caption(texts[0]));
    lblMsg[0]->setText(QString::fromStdString(texts[1]));
    lblMsg[1]->setText(QString::fromStdString(texts[2]));
    cmdOK->setText(QString::fromStdString(texts[3]));
    // The tooltip without the mnemonic's mark.
    cmdOK->setToolTip(QString::fromStdString(texts[3]).remove(QLatin1Char('&')));
}

void dlgLangSelect::OkPressed() {
    const QString text = dxLanguage->currentText();
    Global().LanguageFilePath = LanguageFileFor(WithoutBlanks(text));
    // The value is stored as typed; reading it back drops the blanks.
    WriteIni("Options", "Language", text.toStdString());
    chosen_ = WithoutBlanks(text);
    accept();
}

} // namespace stampwell::app
