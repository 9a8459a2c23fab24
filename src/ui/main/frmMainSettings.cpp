#include "app/modINIHandler.h"
#include "support/modFSO.h"
#include "ui/main/frmMain.h"
#include "ui/main/modCompactPath.h"
#include "ui/main/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

// The window's choices in Stampwell.ini: restored at load, saved at unload,
// each group only while its Save flag is set.
namespace stampwell::ui {

namespace {

const char* const kSection = "Options";

// Stored values are read whole: a remembered path longer than 255
// characters names the same item again.
QString Read(const char* key, const char* defaultValue) {
    return FromStd(app::ReadIni(kSection, key, defaultValue));
}

bool ReadFlag(const char* key) {
    return app::IniFlag(ToStd(Read(key, "0")));
}

// A whole number; text that is none reads as 0.
int ReadNumber(const char* key) {
    return Read(key, "0").toInt();
}

void Write(const char* key, const QString& value) {
    app::WriteIni(kSection, key, ToStd(value));
}

QString FlagText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Checks the member of a radio group that the stored text names ("0", "1",
// "2"); any other text leaves the group as it is.
void SelectStored(const std::array<QRadioButton*, 3>& group, const QString& stored) {
    for (int i = 0; i < 3; ++i) {
        if (stored == QString::number(i)) {
            group[static_cast<std::size_t>(i)]->setChecked(true);
        }
    }
}

void WriteSelected(const char* key, const std::array<QRadioButton*, 3>& group) {
    for (int i = 0; i < 3; ++i) {
        if (group[static_cast<std::size_t>(i)]->isChecked()) {
            Write(key, QString::number(i));
        }
    }
}

} // namespace

void frmMain::LoadSettings() {
    if (ReadFlag("SaveFilter")) {
        chkRekursiv->setChecked(app::IniFlag(ToStd(Read("Recursive", "0"))));
        txtFilter->setText(Read("Filter", "*.*"));
        mode_ = 0;
        SelectStored(chkDoWhat, Read("Mode", "0"));
    }
    if (ReadFlag("SavePath")) {
        currentPath_ = Read("Path", "");
        lblPath->setText(CompactPath(currentPath_, *lblPath));
        ColourPathLabel();
        if (support::FolderExists(ToStd(currentPath_))) {
            isFolder_ = true;
            EnableFolderControls();
        }
    }
    if (ReadFlag("SaveTime")) {
        Combo1->setEditText(TimeNameOf(ReadNumber("Index1")));
        Combo2->setEditText(TimeNameOf(ReadNumber("Index2")));
        Combo3->setEditText(TimeNameOf(ReadNumber("Index3")));
        txtDateTime->setText(Read("NewTime", ""));
        chkExchange->setChecked(app::IniFlag(ToStd(Read("Exchange", "0"))));
        SelectStored(Option2, Read("Index", "0"));
        OnTimeOption(ReadNumber("Index"));
    } else {
        Option2[0]->setChecked(true);
        OnTimeOption(0);
    }
    if (ReadFlag("SaveAttrib")) {
        const std::array<const char*, 4> keys{"Archive", "ReadOnly", "System", "Hidden"};
        for (std::size_t i = 0; i < keys.size(); ++i) {
            chkAttr[i]->setChecked(app::IniFlag(ToStd(Read(keys[i], "0"))));
        }
        SelectStored(Option3, Read("Attrib", "0"));
    } else {
        Option3[0]->setChecked(true);
    }
}

void frmMain::SaveSettings() {
    if (ReadFlag("SavePath")) {
        Write("Path", currentPath_);
    }
    if (ReadFlag("SaveFilter")) {
        WriteSelected("Mode", chkDoWhat);
        Write("Recursive", FlagText(chkRekursiv->isChecked()));
        Write("Filter", txtFilter->text());
    }
    if (ReadFlag("SaveTime")) {
        WriteSelected("Index", Option2);
        Write("Index1", QString::number(TimeIndexOf(Combo1)));
        Write("Index2", QString::number(TimeIndexOf(Combo2)));
        Write("Index3", QString::number(TimeIndexOf(Combo3)));
        Write("NewTime", txtDateTime->text());
        Write("Exchange", FlagText(chkExchange->isChecked()));
    }
    if (ReadFlag("SaveAttrib")) {
        WriteSelected("Attrib", Option3);
        const std::array<const char*, 4> keys{"Archive", "ReadOnly", "System", "Hidden"};
        for (std::size_t i = 0; i < keys.size(); ++i) {
            Write(keys[i], FlagText(chkAttr[i]->isChecked()));
        }
    }
}

} // namespace stampwell::ui
