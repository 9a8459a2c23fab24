#include "engine/journalledrun.h"
#include "engine/runflags.h"
#include "platform/attributes.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "ui/dialogs/failurelist.h"
#include "ui/main/frmMain.h"
#include "ui/main/modCompactPath.h"
#include "ui/main/modMessageBox.h"
#include "ui/main/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <optional>
#include <tuple>

// Runs from the window: the engine works on a worker thread while the window
// stays responsive; a timer shows the item in hand and the items done.
namespace stampwell::ui {

namespace {

QString Count(std::uint64_t n) {
    return QString::number(n);
}

} // namespace

void frmMain::StartRun() {
    if (!engine::FilterIsValid(ToStd(txtFilter->text()))) {
        ShowMessage(this, MessageIcon::None, QStringLiteral("Stampwell"), MainText(55),
                    MessageButtons::Ok);
        return;
    }
    if (!DateIsStorable()) {
        return;
    }
    const engine::Job job = MakeJob();
    if (!GoDespiteUnsettableKinds(job)) {
        return;
    }
    std::unique_ptr<engine::JournalWriter> journal;
    const platform::SysError journalFailure =
        engine::StartJournal(engine::JournalFolder(), "Stampwell", job, journal);
    if (journalFailure.Failed() && !GoWithoutJournal(58, journalFailure)) {
        return;
    }
    journal_ = std::move(journal);
    journalError_ = {};
    engine::ClearCancel();
    lblInfo->setText(MainText(42));
    cmdExec->setText(MainText(43));
    EnableControls(false);
    StartProgress(0);
    worker_ = std::thread([this, job] {
        outcome_ = engine::RunWithJournal(job, ProgressCallbacks(), journal_.get(), journalError_);
        QMetaObject::invokeMethod(this, &frmMain::FinishRun, Qt::QueuedConnection);
    });
}

bool frmMain::DateIsStorable() {
    if (!Option2[2]->isChecked()) {
        return true;
    }
    const auto local = support::ParseDateTimeText(ToStd(txtDateTime->text()));
    if (!local || support::IsStorableDateTime(*local)) {
        return true;
    }
    ShowMessage(
        this, MessageIcon::Warning, QStringLiteral("Stampwell"),
        MainText(68).arg(FromStd(support::FormatDateTimeText(support::kFirstStorableDateTime)),
                         FromStd(support::FormatDateTimeText(support::kLastStorableDateTime))),
        MessageButtons::Ok);
    return false;
}

bool frmMain::GoDespiteUnsettableKinds(const engine::Job& job) {
    using TimeType = engine::TimeOperation::Type;
    std::vector<engine::TimeKind> written;
    if (job.times.type != TimeType::None) {
        written.push_back(job.times.target);
    }
    if (job.times.type == TimeType::Copy && job.times.exchange) {
        written.push_back(job.times.source);
    }
    QStringList unsettable;
    for (const engine::TimeKind kind : written) {
        if (!KindSettable(static_cast<int>(kind))) {
            unsettable.append(TimeNameOf(static_cast<int>(kind)));
        }
    }
    if (unsettable.isEmpty()) {
        return true;
    }
    return ShowMessage(this, MessageIcon::Question, QStringLiteral("Stampwell"),
                       MainText(75).arg(unsettable.join(QStringLiteral(", ")), currentPath_),
                       MessageButtons::YesNo) == MessageAnswer::Yes;
}

bool frmMain::GoWithoutJournal(int text, const platform::SysError& reason) {
    return ShowMessage(this, MessageIcon::Warning, QStringLiteral("Stampwell"),
                       MainText(text).arg(FromStd(reason.text)),
                       MessageButtons::YesNo) == MessageAnswer::Yes;
}

void frmMain::StartProgress(std::uint64_t total) {
    itemsDone_ = 0;
    {
        const std::lock_guard lock(progressMutex_);
        itemInHand_.clear();
        itemChanged_ = false;
        total_ = total;
        failures_.clear();
        failureCount_ = 0;
    }
    cmdFailures->hide();
    progress_->setRange(0, 0);
    progress_->setFormat(QStringLiteral("%v"));
    progress_->show();
    progressTimer_.start();
}

engine::RunCallbacks frmMain::ProgressCallbacks() {
    engine::RunCallbacks callbacks;
    callbacks.itemInHand = [this](const std::string& path, platform::ItemType) {
        const std::lock_guard lock(progressMutex_);
        itemInHand_ = path;
        itemChanged_ = true;
    };
    callbacks.itemDone = [this](const engine::ItemReport&) { ++itemsDone_; };
    callbacks.failure = [this](const engine::Failure& failure) {
        const std::lock_guard lock(progressMutex_);
        if (failures_.size() < kFailuresListed) {
            failures_.push_back(failure);
        }
        ++failureCount_;
    };
    callbacks.searchDone = [this](std::uint64_t items) {
        const std::lock_guard lock(progressMutex_);
        total_ = items;
    };
    return callbacks;
}

void frmMain::CancelRun() {
    engine::RequestCancel();
    lblInfo->setText(MainText(45));
    cmdExec->setText(MainText(44));
}

std::optional<engine::TimeKind> frmMain::KindShownBy(const QComboBox* list) const {
    const int kind = KindOfText(list->currentText());
    if (kind < 0) {
        return std::nullopt;
    }
    return static_cast<engine::TimeKind>(kind);
}

engine::Job frmMain::MakeJob() {
    mode_ = 0;
    for (int i = 2; i >= 0; --i) {
        if (chkDoWhat[static_cast<std::size_t>(i)]->isChecked()) {
            mode_ = i;
        }
    }
    if (!isFolder_) {
        mode_ = 3;
    }
    engine::Job job;
    job.path = ToStd(currentPath_);
    job.isFolder = isFolder_;
    job.mode = static_cast<engine::Mode>(mode_);
    job.recursive = chkRekursiv->isChecked();
    job.filter = ToStd(filterText_);

    // A time choice that names no kind or no valid date-time changes no time.
    using TimeType = engine::TimeOperation::Type;
    if (Option2[1]->isChecked()) {
        const auto target = KindShownBy(Combo1);
        const auto source = KindShownBy(Combo2);
        if (target && source) {
            job.times.type = TimeType::Copy;
            job.times.target = *target;
            job.times.source = *source;
            job.times.exchange = chkExchange->isChecked();
        }
    } else if (Option2[2]->isChecked()) {
        const auto target = KindShownBy(Combo3);
        const auto local = support::ParseDateTimeText(ToStd(txtDateTime->text()));
        const auto instant = local ? platform::FromLocal(*local) : std::nullopt;
        if (target && instant) {
            job.times.type = TimeType::Set;
            job.times.target = *target;
            job.times.newTime = *instant;
        }
    }

    if (Option3[1]->isChecked()) {
        job.attributes.action = engine::AttributeAction::Set;
    } else if (Option3[2]->isChecked()) {
        job.attributes.action = engine::AttributeAction::Clear;
    }
    job.attributes.archive = chkAttr[0]->isChecked();
    job.attributes.readOnly = chkAttr[1]->isChecked();
    job.attributes.system = chkAttr[2]->isChecked();
    job.attributes.hidden = chkAttr[3]->isChecked();
    return job;
}

void frmMain::RefreshProgress() {
    std::string path;
    std::uint64_t total = 0;
    {
        const std::lock_guard lock(progressMutex_);
        if (itemChanged_) {
            path = itemInHand_;
            itemChanged_ = false;
        }
        total = total_;
    }
    if (!path.empty()) {
        lblInfo->setText(CompactPath(FromStd(path), *lblInfo));
    }
    const auto done = static_cast<int>(itemsDone_.load());
    if (total > 0) {
        progress_->setFormat(QStringLiteral("%v / %m"));
        progress_->setRange(0, static_cast<int>(total));
    } else if (done > 0) {
        // Until the search is over the bar counts without an end.
        progress_->setRange(0, done);
    }
    progress_->setValue(done);
}

void frmMain::FinishRun() {
    if (!worker_.joinable()) {
        return;
    }
    worker_.join();
    progressTimer_.stop();
    RefreshProgress();
    // The items done of the total; a run that ended without a search knows
    // its total when it is done, a run cancelled during its search never.
    const std::uint64_t done = itemsDone_.load();
    std::uint64_t total = 0;
    {
        const std::lock_guard lock(progressMutex_);
        total = total_;
    }
    if (total == 0 && !engine::CancelRun.load()) {
        total = done;
    }
    if (total == 0) {
        progress_->hide();
    } else {
        progress_->setFormat(QStringLiteral("%v / %m"));
        progress_->setRange(0, static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
    }
    cmdFailures->setVisible(failureCount_ != 0);
    lblInfo->setText(undoing_ ? UndoOutcomeText(undoOutcome_) : OutcomeText(outcome_));
    undoing_ = false;
    journal_.reset();
    ShowInfo();
    FindRunToUndo();
    EnableControls(true);
    cmdExec->setText(MainText(44));
    if (journalError_.Failed()) {
        ShowMessage(this, MessageIcon::Warning, QStringLiteral("Stampwell"),
                    MainText(66).arg(FromStd(journalError_.text)), MessageButtons::Ok);
    }
    emit runFinished();
}

QString frmMain::OutcomeText(const engine::Outcome& outcome) const {
    using engine::Ending;
    using engine::Mode;
    const bool single = outcome.mode == Mode::SingleFile;
    QString text;
    switch (outcome.ending) {
    case Ending::BadFilter:
        return MainText(55);
    case Ending::FoundNothing:
        // A search stopped by the user found nothing because it was stopped.
        if (engine::CancelRun.load()) {
            return MainText(45);
        }
        return single ? MainText(42) : MainText(9);
    case Ending::Cancelled:
        text = MainText(45);
        break;
    case Ending::Done:
        switch (outcome.mode) {
        case Mode::SingleFile:
            return outcome.failed != 0 ? MainText(57) : MainText(32);
        case Mode::FoldersOnly:
            text = MainText(53) + QStringLiteral(": ") + Count(outcome.folders);
            break;
        case Mode::FilesOnly:
            text = MainText(7) + QStringLiteral(": ") + Count(outcome.files);
            break;
        case Mode::FilesAndFolders:
            text = MainText(7) + QStringLiteral(": ") + Count(outcome.files);
            if (outcome.recursive) {
                text += QStringLiteral(", ") + MainText(54) + QStringLiteral(": ") +
                        Count(outcome.folders);
            }
            break;
        }
        break;
    }
    if (outcome.failed != 0 && !single) {
        text += QStringLiteral(", ") + MainText(56) + QStringLiteral(": ") + Count(outcome.failed);
    }
    return text;
}

} // namespace stampwell::ui

namespace stampwell::ui {

QString frmMain::FailureReason(const engine::Failure& failure) const {
    QStringList concerned;
    for (int kind = 0; kind < 3; ++kind) {
        if ((failure.kinds & engine::KindBit(static_cast<engine::TimeKind>(kind))) != 0) {
            concerned.append(TimeNameOf(kind));
        }
    }
    // In the order of chkAttr: Archive, Read-only, System, Hidden.
    const std::array<std::uint32_t, 4> bits{platform::kAttrArchive, platform::kAttrReadOnly,
                                            platform::kAttrSystem, platform::kAttrHidden};
    for (std::size_t i = 0; i < bits.size(); ++i) {
        if ((failure.attributes & bits[i]) != 0) {
            concerned.append(MainText(23 + static_cast<int>(i)));
        }
    }
    QString reason = concerned.join(QStringLiteral(", "));
    if (!failure.reason.text.empty()) {
        reason +=
            (reason.isEmpty() ? QString() : QStringLiteral(": ")) + FromStd(failure.reason.text);
    }
    return reason;
}

void frmMain::ShowFailures() {
    std::vector<FailureList::Row> rows;
    rows.reserve(failures_.size());
    for (const engine::Failure& failure : failures_) {
        rows.push_back({FromStd(failure.item), MainText(85 + static_cast<int>(failure.step)),
                        FailureReason(failure)});
    }
    FailureList::Texts texts;
    texts.title = MainText(77);
    texts.columns = {MainText(78), MainText(79), MainText(80)};
    if (failureCount_ > failures_.size()) {
        texts.more = MainText(81).arg(failureCount_ - failures_.size());
    }
    texts.copy = MainText(82);
    texts.save = MainText(83);
    texts.fileTypes = MainText(84);
    texts.saveFailed = MainText(98);
    FailureList list(std::move(rows), texts, this);
    list.exec();
}

} // namespace stampwell::ui
