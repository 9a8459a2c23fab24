#include "ui/main/frmMain.h"

#include "app/constants.h"
#include "app/modGlobal.h"
#include "app/modRegistry.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "ui/dialogs/dlgDateTime.h"
#include "ui/main/AppController.h"
#include "ui/main/modMessageBox.h"
#include "ui/main/qtext.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>

namespace stampwell::ui {

namespace {

// Twips (1/1440 inch) in the window's own resolution.
int TwipsToPixels(int twips, const QWidget& widget) {
    return twips * widget.logicalDpiX() / 1440;
}

const QColor kRed(255, 0, 0);

// The date part of the date-time text in Qt's pattern letters.
QString DatePattern(const support::DateTimeTextForm& form) {
    const QChar sep = QLatin1Char(form.separator);
    switch (form.order) {
    case support::DateTimeTextForm::Order::DayMonthYear:
        return QStringLiteral("dd%1MM%1yyyy").arg(sep);
    case support::DateTimeTextForm::Order::MonthDayYear:
        return QStringLiteral("MM%1dd%1yyyy").arg(sep);
    case support::DateTimeTextForm::Order::YearMonthDay:
        break;
    }
    return QStringLiteral("yyyy%1MM%1dd").arg(sep);
}

// The palette's counterpart of a Windows system colour index.
QColor SystemColor(std::uint32_t index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 6: // window frame
    case 21:
        return palette.color(QPalette::Shadow);
    case 7: // menu text
        return palette.color(QPalette::WindowText);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 9: // caption text
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 2: // active caption
    case 13:
        return palette.color(QPalette::Highlight);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 22: // 3-D light
        return palette.color(QPalette::Midlight);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    case 26: // hot-tracked item
        return palette.color(QPalette::Link);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent), mainText_(kMainTextCount) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Stampwell"));
    BuildFrames();
    Connect();
    AppController::Attach(*this);
}

frmMain::~frmMain() {
    if (worker_.joinable()) {
        engine::RequestCancel();
        worker_.join();
    }
}

void frmMain::Connect() {
    for (QWidget* target : std::initializer_list<QWidget*>{Frame1, Frame2, Frame3, Frame4, Frame5,
                                                           Frame6, lblPath, lblInfo}) {
        target->installEventFilter(this);
    }
    connect(cmdBrowse, &QToolButton::clicked, this, &frmMain::Browse);
    for (int i = 0; i < 3; ++i) {
        connect(chkDoWhat[i], &QRadioButton::clicked, this, [this, i] { OnDoWhatClicked(i); });
        connect(Option2[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                OnTimeOption(i);
            }
        });
        connect(Option3[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                OnAttribOption(i);
            }
        });
    }
    connect(chkRekursiv, &QCheckBox::toggled, this, &frmMain::SetDoWhatCaptions);
    connect(chkExchange, &QCheckBox::toggled, this, &frmMain::OnExchangeChanged);
    for (QCheckBox* box : chkAttr) {
        connect(box, &QCheckBox::toggled, this, &frmMain::UpdateExecButton);
    }
    for (QComboBox* list : {Combo1, Combo2, Combo3}) {
        connect(list, &QComboBox::currentTextChanged, this, &frmMain::UpdateExecButton);
    }
    connect(txtDateTime, &QLineEdit::textChanged, this, &frmMain::OnDateTimeChanged);
    connect(txtDateTimeButton, &QAction::triggered, this, &frmMain::OpenDateTimeDialog);
    connect(txtFilter, &QLineEdit::textChanged, this, &frmMain::OnFilterChanged);
    for (int i = 0; i < 2; ++i) {
        connect(txtFilterButton[i], &QAction::triggered, this, [this, i] { OnFilterButton(i); });
    }
    connect(cmdExec, &QPushButton::clicked, this, &frmMain::StartRun);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::CancelRun);
    connect(cmdUndo, &QPushButton::clicked, this, &frmMain::UndoLastRun);
    connect(cmdQuit, &QToolButton::clicked, this, &QWidget::close);
    connect(cmdSettings, &QToolButton::clicked, this, &frmMain::settingsRequested);
    connect(cmdHelp, &QToolButton::clicked, this, &frmMain::helpRequested);
    connect(cmdAbout, &QToolButton::clicked, this, &frmMain::aboutRequested);
    connect(cmdFailures, &QPushButton::clicked, this, &frmMain::ShowFailures);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &frmMain::helpRequested);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, [this] {
        if (IsRunning()) {
            CancelRun();
        }
    });
    // Ctrl+Z beside the button's mnemonic.
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, [this] {
        if (cmdUndo->isVisible() && cmdUndo->isEnabled()) {
            cmdUndo->click();
        }
    });
    progressTimer_.setInterval(100);
    connect(&progressTimer_, &QTimer::timeout, this, &frmMain::RefreshProgress);
}

QString frmMain::MainText(int index) const {
    if (index < 0 || index >= static_cast<int>(mainText_.size())) {
        return QString();
    }
    return mainText_[static_cast<std::size_t>(index)];
}

void frmMain::OnDoWhatClicked(int index) {
    txtFilter->setEnabled(index != 2);
}

void frmMain::SetDoWhatCaptions(bool recursive) {
    chkDoWhat[0]->setText(MainText(recursive ? 51 : 50));
    chkDoWhat[1]->setText(MainText(52));
    chkDoWhat[2]->setText(MainText(recursive ? 48 : 49));
}

void frmMain::OnExchangeChanged() {
    lblArr1->setText(chkExchange->isChecked() ? QStringLiteral("<==>") : QStringLiteral("==>"));
}

void frmMain::OnTimeOption(int index) {
    const bool change = index == 1;
    const bool newTime = index == 2;
    if ((index == 0 || index == 1) && txtDateTime->palette().color(QPalette::Base) == kRed) {
        QPalette palette = txtDateTime->palette();
        palette.setColor(QPalette::Base, Qt::white);
        txtDateTime->setPalette(palette);
    }
    if (newTime) {
        if (txtDateTime->text().isEmpty()) {
            txtDateTime->setText(
                FromStd(support::FormatDateTimeText(platform::ToLocal(platform::Now()))));
        }
        OnDateTimeChanged();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Combo1, Combo2, lblArr1, chkExchange}) {
        w->setEnabled(change);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Combo3, lblArr2, txtDateTime}) {
        w->setEnabled(newTime);
    }
    UpdateExecButton();
}

void frmMain::OnAttribOption(int index) {
    for (QCheckBox* box : chkAttr) {
        box->setEnabled(index == 1 || index == 2);
    }
    UpdateExecButton();
}

void frmMain::OnDateTimeChanged() {
    UpdateExecButton();
    QPalette palette = txtDateTime->palette();
    palette.setColor(QPalette::Base, txtDateTime->text().size() == 19 ? QColor(Qt::white) : kRed);
    txtDateTime->setPalette(palette);
}

void frmMain::OnFilterChanged() {
    if (txtFilter->text().isEmpty()) {
        txtFilter->setText(QStringLiteral("*.*"));
    }
    filterText_ = txtFilter->text();
}

void frmMain::OnFilterButton(int index) {
    if (index == 0) {
        // Selected, so that what the user types next replaces it.
        txtFilter->setText(QStringLiteral("*.*"));
        txtFilter->setFocus();
        txtFilter->selectAll();
        return;
    }
    const MessageAnswer answer =
        ShowMessage(this, MessageIcon::Question, QStringLiteral("Stampwell"),
                    MainText(46) + QStringLiteral("\r\n") + MainText(47), MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes) {
        emit onlineHelpRequested();
    }
}

void frmMain::OpenDateTimeDialog() {
    dlgDateTime dialog(txtDateTime, DatePattern(support::LocaleDateTimeTextForm()), this);
    dialog.SetTexts(MainText(99), MainText(100), MainText(101));
    dialog.move(frameGeometry().topLeft() +
                QPoint(TwipsToPixels(3030, *this), TwipsToPixels(3480, *this)));
    dialog.exec();
}

bool frmMain::DateTimeIsValid() const {
    const auto local = support::ParseDateTimeText(ToStd(txtDateTime->text()));
    return local && platform::FromLocal(*local).has_value();
}

void frmMain::UpdateExecButton() {
    cmdExec->setEnabled(false);
    cmdCancel->setEnabled(false);
    if (loading_) {
        return;
    }
    const bool nothingToDo = Option2[0]->isChecked() && Option3[0]->isChecked();
    if (!nothingToDo && !PathLabelIsBlank()) {
        const bool timeSet = Option2[2]->isChecked() && DateTimeIsValid() &&
                             txtDateTime->text().size() == 19 && !Combo3->currentText().isEmpty();
        const bool timeChange = Option2[1]->isChecked() && !Combo1->currentText().isEmpty() &&
                                !Combo2->currentText().isEmpty();
        bool attributes = false;
        if (Option3[1]->isChecked() || Option3[2]->isChecked()) {
            for (const QCheckBox* box : chkAttr) {
                attributes = attributes || box->isChecked();
            }
        }
        const bool ready = timeSet || timeChange || attributes;
        cmdExec->setEnabled(ready);
        cmdCancel->setEnabled(ready);
        ColourPathLabel();
        return;
    }
    if (!currentPath_.isEmpty()) {
        ColourPathLabel();
    }
}

void frmMain::EnableControls(bool enable) {
    cmdExec->setVisible(enable);
    cmdCancel->setVisible(!enable);
    std::vector<QWidget*> locked{cmdBrowse,   cmdQuit, cmdSettings, cmdHelp, txtDateTime,
                                 chkExchange, Combo1,  Combo2,      Combo3};
    locked.insert(locked.end(), Option2.begin(), Option2.end());
    locked.insert(locked.end(), Option3.begin(), Option3.end());
    locked.insert(locked.end(), chkAttr.begin(), chkAttr.end());
    for (QWidget* w : locked) {
        w->setEnabled(enable);
    }
    txtFilter->setEnabled(isFolder_);
    chkRekursiv->setEnabled(isFolder_);
    cmdUndo->setEnabled(enable && runToUndo_.has_value());
    SetBusyPointer(enable);
    if (enable) {
        for (int i = 0; i < 3; ++i) {
            if (Option2[i]->isChecked()) {
                OnTimeOption(i);
            }
        }
        for (int i = 0; i < 3; ++i) {
            if (Option3[i]->isChecked()) {
                OnAttribOption(i);
            }
        }
    }
}

void frmMain::SetBusyPointer(bool normal) {
    for (QWidget* w : std::initializer_list<QWidget*>{Frame1, Frame2, Frame3, Frame4, Frame5,
                                                      Frame6, lblArr1, lblArr2, lblInfo, lblPath}) {
        if (normal) {
            w->unsetCursor();
        } else {
            w->setCursor(Qt::WaitCursor);
        }
    }
}

void frmMain::FillTimeCombos() {
    const std::array<QString, 3> names{TimeNameOf(0), TimeNameOf(1), TimeNameOf(2)};
    // The window's first lists show creation, last write and creation.
    const std::array<int, 3> designKinds{0, 1, 0};
    const std::array<QComboBox*, 3> lists{Combo1, Combo2, Combo3};
    // Wide enough for every name and for Created with the mark of a kind that
    // cannot be set (the other two can always be set), so that the window
    // keeps its size whichever item is chosen.
    qsizetype longest = names[0].size() + 1 + MainText(74).size();
    for (const QString& name : names) {
        longest = std::max(longest, name.size());
    }
    for (std::size_t i = 0; i < lists.size(); ++i) {
        lists[i]->setMinimumContentsLength(static_cast<int>(longest));
        const bool first = lists[i]->count() == 0;
        const QString text = lists[i]->currentText();
        const QSignalBlocker quiet(lists[i]);
        lists[i]->clear();
        for (const QString& name : names) {
            lists[i]->addItem(name);
        }
        lists[i]->setEditText(first ? names[static_cast<std::size_t>(designKinds[i])] : text);
    }
}

int frmMain::TimeIndexOf(const QComboBox* list) const {
    return std::max(KindOfText(list->currentText()), 0);
}

QString frmMain::TimeNameOf(int index) const {
    const app::GlobalState& global = app::Global();
    switch (index) {
    case 0:
        return FromStd(global.TimeName1);
    case 1:
        return FromStd(global.TimeName2);
    case 2:
        return FromStd(global.TimeName3);
    default:
        return QString();
    }
}

void frmMain::SaveAppInfo() {
    const app::GlobalState& global = app::Global();
    const auto save = [](std::string_view name, std::string_view value) {
        app::SaveSetting(app::kSettingsApplication, app::kSettingsSection, name, value);
    };
    save("Version", app::kVersion);
    save("Language", global.CurrentLanguage);
    save("AppPath", global.ProgramFolder);
}

std::uint32_t frmMain::TranslateColor(std::uint32_t color) {
    if ((color >> 24) != 0x80) {
        return color;
    }
    const QColor c = SystemColor(color & 0xFFFFFF);
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

void frmMain::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void frmMain::Unload() {
    if (unloaded_) {
        return;
    }
    if (worker_.joinable()) {
        engine::RequestCancel();
        worker_.join();
        FinishRun();
    }
    SaveSettings();
    if (!PathLabelIsBlank() && toolTip_) {
        toolTip_->Destroy();
    }
    SaveAppInfo();
    unloaded_ = true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const bool pathArea = watched == Frame2 || watched == lblPath;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        HandleDrop(*drop->mimeData());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (pathArea && cmdBrowse->isEnabled()) {
            Browse();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (pathArea) {
            ShowInfo();
        }
        break;
    case QEvent::Resize:
        // The label shows the path shortened to its width, whatever width it gets.
        if (watched == lblPath && !currentPath_.isEmpty() && !PathLabelIsBlank()) {
            ShowPath(currentPath_);
        }
        break;
    case QEvent::MouseMove:
    case QEvent::Enter:
        if (watched == Frame2) {
            PrepareInfoBalloon();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace stampwell::ui
