#include "platform/itemtimes.h"
#include "support/modFSO.h"
#include "ui/main/frmMain.h"
#include "ui/main/modBrowseFolders.h"
#include "ui/main/modCompactPath.h"
#include "ui/main/modItemInfo.h"
#include "ui/main/modMessageBox.h"
#include "ui/main/modWordWrap.h"
#include "ui/main/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

// The chosen item: browsing, drops, the path label and the information balloon.
namespace stampwell::ui {

namespace {

QColor FromColorRef(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

constexpr std::uint32_t kSysColorInfoText = 0x80000017;
constexpr std::uint32_t kSysColorInfoBack = 0x80000018;

bool Exists(const QString& path) {
    return support::FileExists(ToStd(path));
}
bool IsExistingFolder(const QString& path) {
    return support::FolderExists(ToStd(path));
}

} // namespace

bool frmMain::PathLabelIsBlank() const {
    return lblPath->text().isEmpty() || lblPath->text() == QStringLiteral(" ");
}

void frmMain::ShowPath(const QString& path) {
    lblPath->setText(CompactPath(path, *lblPath));
}

void frmMain::ColourPathLabel() {
    const bool missing = !Exists(currentPath_) && !IsExistingFolder(currentPath_);
    QPalette palette = lblPath->palette();
    palette.setColor(QPalette::WindowText, missing ? QColor(255, 0, 0) : QColor(Qt::black));
    lblPath->setPalette(palette);
}

void frmMain::EnableFolderControls() {
    txtFilter->setEnabled(isFolder_);
    chkRekursiv->setEnabled(isFolder_);
    for (QRadioButton* option : chkDoWhat) {
        option->setEnabled(isFolder_);
    }
    if (chkDoWhat[2]->isChecked()) {
        txtFilter->setEnabled(false);
    }
}

void frmMain::Browse() {
    const QString result = BrowseForFolder(MainText(0), currentPath_, this, true, true, true,
                                           QString(), MainText(69) + QLatin1Char(' '));
    if (result.isEmpty()) {
        return;
    }
    ForgetRun();
    lblPath->setText(result);
    if (Exists(result)) {
        isFolder_ = IsExistingFolder(result);
    }
    const bool missing = !Exists(result) && !IsExistingFolder(result);
    if (missing) {
        ShowMessage(this, MessageIcon::Information, MainText(2), MainText(1), MessageButtons::Ok);
    }
    EnableFolderControls();
    currentPath_ = result;
    ShowPath(currentPath_);
    ShowInfo();
    if (!missing) {
        UpdateExecButton();
    }
}

void frmMain::HandleDrop(const QMimeData& data) {
    QStringList names;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            names.append(QDir::toNativeSeparators(url.toLocalFile()));
        }
    }
    HandleDroppedNames(names);
}

void frmMain::OpenItem(const QString& path) {
    // A file manager hands over absolute paths, as a drop does.
    const QString absolute =
        path.isEmpty() ? path : QDir::cleanPath(QDir::current().absoluteFilePath(path));
    HandleDroppedNames({QDir::toNativeSeparators(absolute)});
}

void frmMain::HandleDroppedNames(const QStringList& names) {
    if (names.isEmpty()) {
        return;
    }
    const QString first = names.first();
    if (names.size() == 1) {
        if (Exists(first)) {
            ForgetRun();
            isFolder_ = IsExistingFolder(first);
            currentPath_ = first;
            ShowPath(currentPath_);
        } else {
            // The same message as browsing to a missing item.
            ShowMessage(this, MessageIcon::Information, MainText(2), MainText(1),
                        MessageButtons::Ok);
        }
        EnableFolderControls();
    } else if (Exists(first)) {
        const QString name = FromStd(support::GetFileName(ToStd(first)));
        QString parent = first.left(first.size() - name.size() - 1);
        if (parent.isEmpty() || parent.endsWith(QLatin1Char(':'))) {
            parent += QDir::separator();
        }
        // Wrapped to the path's length, but never narrower than its longest
        // word: a short path must not turn the question into a complaint.
        const QString question = MainText(12);
        const QString text =
            WordWrap(question, std::max<int>(parent.size(), LongestWord(question)), this) +
            QStringLiteral("\r\n\r\n") + parent;
        const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        if (ShowMessage(this, MessageIcon::Question, title, text, MessageButtons::YesNo) ==
            MessageAnswer::Yes) {
            ForgetRun();
            currentPath_ = parent;
            isFolder_ = true;
            ShowPath(currentPath_);
            EnableFolderControls();
        }
    }
    UpdateExecButton();
    ShowInfo();
}

void frmMain::ShowInfo() {
    toolTip_ = std::make_unique<clsToolTip>();
    toolTip_->Create(this, true, true);
    toolTip_->SetMaxWidth(400);
    toolTip_->SetVisibleTime(20000);
    toolTip_->SetDelayTime(200);
    const QString yes = MainText(28);
    const QString no = MainText(29);
    const std::string path = ToStd(currentPath_);
    const bool folder = support::FolderExists(path);
    const bool exists = folder || support::FileExists(path);
    const platform::ItemType type = folder ? platform::ItemType::Folder : platform::ItemType::File;
    settable_ = {!exists || platform::CreationTimeSettable(path, type), true, true};
    MarkTimeKinds();
    QString text;
    if (exists) {
        const ItemDetails details = ReadItemDetails(path, type, yes, no);
        const QStringList lines{MainText(folder ? 17 : 15),
                                currentPath_,
                                QString(),
                                MainText(folder ? 18 : 27),
                                MainText(20) + QStringLiteral(": ") + details.created,
                                MainText(21) + QStringLiteral(": ") + details.modified,
                                MainText(22) + QStringLiteral(": ") + details.accessed,
                                QString(),
                                MainText(folder ? 19 : 16),
                                MainText(23) + QStringLiteral(": ") + details.attributes[0],
                                MainText(24) + QStringLiteral(": ") + details.attributes[1],
                                MainText(25) + QStringLiteral(": ") + details.attributes[2],
                                MainText(26) + QStringLiteral(": ") + details.attributes[3]};
        text = lines.join(QStringLiteral("\r\n"));
    } else {
        const int first = !PathLabelIsBlank() ? 36 : isFolder_ ? 40 : 38;
        text = MainText(first) + QStringLiteral("\r\n\r\n") + MainText(first + 1);
    }
    toolTip_->AddControl(Frame2, text, true);
}

void frmMain::ForgetRun() {
    progress_->hide();
    cmdFailures->hide();
}

QString frmMain::KindText(int kind) const {
    const QString name = TimeNameOf(kind);
    return KindSettable(kind) ? name : name + QLatin1Char(' ') + MainText(74);
}

int frmMain::KindOfText(const QString& text) const {
    for (int kind = 0; kind < 3; ++kind) {
        if (!text.isEmpty() && (text == TimeNameOf(kind) || text == KindText(kind))) {
            return kind;
        }
    }
    return -1;
}

void frmMain::MarkTimeKinds() {
    const QString mark = MainText(74);
    for (QComboBox* list : {Combo1, Combo2, Combo3}) {
        const QSignalBlocker quiet(list);
        QString text = list->currentText();
        // A text marked before (perhaps in another language) without its mark.
        const QString shownMark = QLatin1Char(' ') + shownMark_;
        if (!shownMark_.isEmpty() && text.endsWith(shownMark)) {
            text.chop(shownMark.size());
        }
        for (int kind = 0; kind < list->count() && kind < 3; ++kind) {
            list->setItemText(kind, KindText(kind));
        }
        const int kind = KindOfText(text);
        list->setEditText(kind >= 0 ? KindText(kind) : text);
        list->lineEdit()->setCursorPosition(0);
    }
    shownMark_ = mark;
}

void frmMain::PrepareInfoBalloon() {
    if (PathLabelIsBlank() || !toolTip_) {
        return;
    }
    toolTip_->SetToolTipBackColor(FromColorRef(TranslateColor(kSysColorInfoBack)));
    toolTip_->SetToolTipTextColor(FromColorRef(TranslateColor(kSysColorInfoText)));
    toolTip_->SetToolTipTitle(MainText(30), clsToolTip::IconInformation);
}

} // namespace stampwell::ui
