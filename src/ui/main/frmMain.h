#pragma once

#include "engine/batchrun.h"
#include "engine/failure.h"
#include "engine/journal.h"
#include "engine/undo.h"
#include "ui/main/clsToolTip.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace stampwell::ui {

// The main window: the chosen item, the scope and filter of a folder run, the
// time and attribute operations, the run itself and its progress.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The load handler: icon, texts, saved choices, path display, run button.
    void Load();
    // The unload handler: saves the choices, removes the balloon, records
    // the program's settings. Waits for a run to end first.
    void Unload();

    void LoadLanguage();
    void SetComboLanguage();
    void LoadSettings();
    void SaveSettings();

    void UpdateExecButton();
    void EnableControls(bool enable);
    void SetBusyPointer(bool normal);
    void SetDoWhatCaptions(bool recursive);
    void FillTimeCombos();
    int TimeIndexOf(const QComboBox* list) const;
    QString TimeNameOf(int index) const;
    void SaveAppInfo();

    // Browse, choose, show.
    void Browse();
    void HandleDrop(const QMimeData& data);
    // The item named on the command line, taken as if it alone had been
    // dropped; a relative path is taken from the current folder.
    void OpenItem(const QString& path);
    void ShowInfo();

    // The main-window texts: the 56 of the table, the two that report
    // failures (56: the failed count's label, 57: a single file not changed),
    // those of the journal and undo (58 to 68), and from 69: the browse
    // dialog's status, the tooltips of About and the field buttons (70 to
    // 73), the mark of a time kind that cannot be set and the question
    // before a run (74, 75), the failure list (76 to 84, 98), the names of
    // the failed steps (85 to 97) and the date/time dialog's (99 to 101).
    static constexpr int kMainTextCount = 102;
    // Main-window text N (empty for an index outside the table).
    QString MainText(int index) const;
    // The file-name filter of a run: the filter field's text, "*.*" for none.
    const QString& FilterText() const { return filterText_; }

    // Window state.
    const QString& CurrentPath() const { return currentPath_; }
    bool IsFolder() const { return isFolder_; }
    int Mode() const { return mode_; }
    bool IsLoading() const { return loading_; }
    bool IsRunning() const { return worker_.joinable(); }
    bool IsUndoing() const { return undoing_; }
    const clsToolTip* InfoBalloon() const { return toolTip_.get(); }

    // The failures of the last run: the first kFailuresListed, and how many
    // there were in all.
    static constexpr std::size_t kFailuresListed = 10000;
    const std::vector<engine::Failure>& Failures() const { return failures_; }
    std::uint64_t FailureCount() const { return failureCount_; }
    // Shows the failures of the last run in a list.
    void ShowFailures();

    // Whether the chosen item's file system can set time kind 0, 1 or 2;
    // true while no existing item is chosen.
    bool KindSettable(int kind) const { return settable_[static_cast<std::size_t>(kind)]; }

    // A system colour (high byte 0x80, low bytes its index) as the platform's
    // palette has it, 0x00BBGGRR; any other colour unchanged.
    static std::uint32_t TranslateColor(std::uint32_t color);

    // The run that "Undo last run" undoes: the newest journal with changes
    // that is not an undo and has not been undone (head and end only).
    const std::optional<engine::Journal>& RunToUndo() const { return runToUndo_; }
    // Asks to undo the last run and undoes it on Yes.
    void UndoLastRun();
    // Offers to undo a run that was cut short; called once the window shows.
    // No keeps the run's changes and is not asked again.
    void OfferRecovery();

signals:
    // The buttons whose windows live elsewhere.
    void settingsRequested();
    void helpRequested();
    void aboutRequested();
    // The online help page is to be opened (after the user agreed).
    void onlineHelpRequested();
    // A run or an undo has ended and lblInfo shows its outcome.
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout and wiring.
    void BuildFrames();
    QGroupBox* BuildFrame2();
    QGroupBox* BuildFrame1();
    QGroupBox* BuildFrame3();
    QGroupBox* BuildFrame4();
    QGroupBox* BuildFrame5();
    QGroupBox* BuildFrame6();
    void SetTabOrder();
    void Connect();

    // Events.
    void OnDoWhatClicked(int index);
    void OnTimeOption(int index);
    void OnAttribOption(int index);
    void OnExchangeChanged();
    void OnDateTimeChanged();
    void OnFilterChanged();
    void OnFilterButton(int index);
    void OpenDateTimeDialog();

    // The path label and the choice of an item.
    void HandleDroppedNames(const QStringList& names);
    void ShowPath(const QString& path);
    void ColourPathLabel();
    bool PathLabelIsBlank() const;
    void EnableFolderControls();
    void PrepareInfoBalloon();
    bool DateTimeIsValid() const;
    // The progress and the failures of a run that is no longer the window's
    // subject (another item, another language) are cleared.
    void ForgetRun();

    // The time kinds in the pick lists, marked where they cannot be set.
    QString KindText(int kind) const;
    // The kind a list's text names, marked or not; -1 for none.
    int KindOfText(const QString& text) const;
    void MarkTimeKinds();
    // Asks before a run whose time operation writes a kind that cannot be
    // set on the chosen item; true to go on.
    bool GoDespiteUnsettableKinds(const engine::Job& job);
    QString FailureReason(const engine::Failure& failure) const;

    // Runs.
    void StartRun();
    void CancelRun();
    engine::Job MakeJob();
    std::optional<engine::TimeKind> KindShownBy(const QComboBox* list) const;
    void RefreshProgress();
    void FinishRun();
    QString OutcomeText(const engine::Outcome& outcome) const;
    bool DateIsStorable();
    // Asks whether to go on without a journal (text N names the reason).
    bool GoWithoutJournal(int text, const platform::SysError& reason);
    void StartProgress(std::uint64_t total);
    engine::RunCallbacks ProgressCallbacks();

    // Undo.
    void FindRunToUndo();
    void StartUndo(engine::Journal journal, bool force);
    QString RunDescription(int text, const engine::Journal& journal) const;
    QString UndoOutcomeText(const engine::UndoOutcome& outcome) const;

    bool loading_ = false;
    int mode_ = 0;
    QString currentPath_;
    QString filterText_ = QStringLiteral("*.*");
    bool isFolder_ = false;
    std::vector<QString> mainText_;
    std::array<QString, 3> shownTimeName_;
    std::unique_ptr<clsToolTip> toolTip_;

    // Controls, by frame.
    QGroupBox* Frame2 = nullptr;
    QLabel* lblPath = nullptr;
    QToolButton* cmdBrowse = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 3> chkDoWhat{};
    QLineEdit* txtFilter = nullptr;
    std::array<QAction*, 2> txtFilterButton{};
    QCheckBox* chkRekursiv = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 3> Option2{};
    QCheckBox* chkExchange = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* lblArr1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
    QLabel* lblArr2 = nullptr;
    QLineEdit* txtDateTime = nullptr;
    QAction* txtDateTimeButton = nullptr;
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 3> Option3{};
    std::array<QCheckBox*, 4> chkAttr{};
    QGroupBox* Frame5 = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* cmdFailures = nullptr;
    QProgressBar* progress_ = nullptr;
    QGroupBox* Frame6 = nullptr;
    QToolButton* cmdAbout = nullptr;
    QToolButton* cmdHelp = nullptr;
    QToolButton* cmdSettings = nullptr;
    QPushButton* cmdExec = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdUndo = nullptr;
    QToolButton* cmdQuit = nullptr;

    // A run on the worker thread; the window reads its progress on a timer.
    std::thread worker_;
    QTimer progressTimer_;
    std::mutex progressMutex_;
    std::string itemInHand_;
    bool itemChanged_ = false;
    std::uint64_t total_ = 0; // items to do, once the search is over
    std::atomic<std::uint64_t> itemsDone_{0};
    std::vector<engine::Failure> failures_; // filled under progressMutex_ during a run
    std::uint64_t failureCount_ = 0;
    std::array<bool, 3> settable_{true, true, true};
    QString shownMark_; // the mark the pick lists show now
    engine::Outcome outcome_;
    bool undoing_ = false;
    engine::UndoOutcome undoOutcome_;
    std::unique_ptr<engine::JournalWriter> journal_; // null for a run without one
    platform::SysError journalError_;
    std::optional<engine::Journal> runToUndo_;
    bool unloaded_ = false;
};

} // namespace stampwell::ui
