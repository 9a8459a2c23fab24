#include "engine/journalledrun.h"
#include "engine/runflags.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "ui/main/frmMain.h"
#include "ui/main/modMessageBox.h"
#include "ui/main/qtext.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTimeZone>

// Undo from the window: the last run's journal read back and undone on the
// worker thread, and the offer to undo a run that was cut short.
namespace stampwell::ui {

namespace {

// A journal's "2026-12-07 03:20:11.123456789 UTC" in the user's local time.
QString LocalTimeOf(const std::string& started) {
    const QString text = FromStd(started);
    const QDateTime utc(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                        QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss")),
                        QTimeZone::utc());
    if (!utc.isValid()) {
        return text;
    }
    const platform::FileTime instant{utc.toSecsSinceEpoch(), 0};
    return FromStd(support::FormatDateTimeText(platform::ToLocal(instant)));
}

} // namespace

void frmMain::FindRunToUndo() {
    runToUndo_.reset();
    for (engine::Journal& listed : engine::ListJournals(engine::JournalFolder())) {
        if (!listed.undoneBy.empty() || !listed.head.undoes.empty()) {
            continue;
        }
        if (listed.hasChanges) {
            runToUndo_ = std::move(listed);
            return;
        }
    }
}

QString frmMain::RunDescription(int text, const engine::Journal& journal) const {
    return MainText(text).arg(LocalTimeOf(journal.head.started), FromStd(journal.head.item),
                              QString::number(journal.changes.size()));
}

void frmMain::UndoLastRun() {
    if (!runToUndo_ || IsRunning()) {
        return;
    }
    engine::Journal journal;
    const platform::SysError failure = engine::ReadJournal(runToUndo_->file, journal);
    if (failure.Failed()) {
        ShowMessage(this, MessageIcon::Warning, QStringLiteral("Stampwell"),
                    MainText(67).arg(FromStd(runToUndo_->file), FromStd(failure.text)),
                    MessageButtons::Ok);
        return;
    }
    if (ShowMessage(this, MessageIcon::Question, QStringLiteral("Stampwell"),
                    RunDescription(60, journal), MessageButtons::YesNo) == MessageAnswer::Yes) {
        StartUndo(std::move(journal), false);
    }
}

void frmMain::OfferRecovery() {
    if (IsRunning()) {
        return;
    }
    const std::vector<engine::Journal> cut = engine::CutShortRuns(engine::JournalFolder());
    if (cut.empty()) {
        return;
    }
    engine::Journal journal;
    if (engine::ReadJournal(cut.front().file, journal).Failed()) {
        return;
    }
    // A run cut short before its first change left nothing to undo.
    if (!journal.changes.empty() &&
        ShowMessage(this, MessageIcon::Question, QStringLiteral("Stampwell"),
                    RunDescription(61, journal), MessageButtons::YesNo) == MessageAnswer::Yes) {
        StartUndo(std::move(journal), false);
        return;
    }
    engine::MarkKept(journal.file);
}

void frmMain::StartUndo(engine::Journal journal, bool force) {
    std::unique_ptr<engine::JournalWriter> writer;
    const platform::SysError journalFailure =
        engine::StartUndoJournal(engine::JournalFolder(), "Stampwell", journal, writer);
    if (journalFailure.Failed() && !GoWithoutJournal(59, journalFailure)) {
        return;
    }
    journal_ = std::move(writer);
    journalError_ = {};
    undoing_ = true;
    engine::ClearCancel();
    lblInfo->setText(MainText(62));
    EnableControls(false);
    cmdCancel->setEnabled(true);
    StartProgress(journal.changes.size());
    worker_ = std::thread([this, journal = std::move(journal), force] {
        undoOutcome_ = engine::UndoWithJournal(journal, force, ProgressCallbacks(), journal_.get(),
                                               journalError_);
        QMetaObject::invokeMethod(this, &frmMain::FinishRun, Qt::QueuedConnection);
    });
}

QString frmMain::UndoOutcomeText(const engine::UndoOutcome& outcome) const {
    const auto count = [this](int text, std::uint64_t n) {
        return MainText(text) + QStringLiteral(": ") + QString::number(n);
    };
    QString text = count(63, outcome.restored) + QStringLiteral(", ") + count(64, outcome.skipped) +
                   QStringLiteral(", ") + count(56, outcome.failed);
    if (outcome.cancelled) {
        text = MainText(45) + QStringLiteral(" ") + text;
    }
    return text;
}

} // namespace stampwell::ui
