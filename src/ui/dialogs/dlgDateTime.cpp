#include "ui/dialogs/dlgDateTime.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace stampwell::ui {

namespace {

const QString kTimePattern = QStringLiteral("HH:mm:ss");

// The date editor shows this date as an empty field: a field without a
// date opens empty and stays empty unless the user picks one.
const QDate kNoDate(1752, 9, 14);

} // namespace

dlgDateTime::dlgDateTime(QLineEdit* field, const QString& datePattern, QWidget* parent)
    : QDialog(parent), field_(field), datePattern_(datePattern), dxDate_(new QDateEdit(this)),
      dxTime_(new QTimeEdit(this)) {
    setObjectName(QStringLiteral("dlgDateTime"));
    setWindowTitle(QStringLiteral("Date / Time"));
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    label1_ = new QLabel(QStringLiteral("Date"), frame);
    label1_->setObjectName(QStringLiteral("Label1"));
    label2_ = new QLabel(QStringLiteral("Time"), frame);
    label2_->setObjectName(QStringLiteral("Label2"));
    dxDate_->setObjectName(QStringLiteral("dxDate"));
    dxDate_->setDisplayFormat(datePattern_);
    dxDate_->setMinimumDate(kNoDate);
    dxDate_->setSpecialValueText(QStringLiteral(" "));
    dxTime_->setObjectName(QStringLiteral("dxTime"));
    dxTime_->setDisplayFormat(kTimePattern);
    dxTime_->setCurrentSection(QDateTimeEdit::HourSection);
    // A click selects the section it lands in, so that typed digits replace
    // it (080910 gives 08:09:10) instead of being put beside its digits.
    if (QLineEdit* text = dxTime_->findChild<QLineEdit*>()) {
        text->installEventFilter(this);
    }
    grid->addWidget(label1_, 0, 0);
    grid->addWidget(dxDate_, 0, 1);
    grid->addWidget(label2_, 1, 0);
    grid->addWidget(dxTime_, 1, 1);

    // OK and Cancel in the platform's order, Qt's words in the language in use.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* cmdOK = buttons->button(QDialogButtonBox::Ok);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    QPushButton* cmdCancel = buttons->button(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* button : {cmdOK, cmdCancel}) {
        button->setIcon(QIcon());
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &dlgDateTime::Confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Load();
}

void dlgDateTime::SetTexts(const QString& caption, const QString& date, const QString& time) {
    setWindowTitle(caption);
    label1_->setText(date);
    label2_->setText(time);
}

void dlgDateTime::Load() {
    // The field's first ten characters are the date and its last eight the
    // time, also when a short text makes the two overlap.
    const QString text = field_->text();
    const QTime time = QTime::fromString(text.right(8), kTimePattern);
    dxTime_->setTime(time.isValid() ? time : QTime(0, 0, 0));
    const QDate date = QDate::fromString(text.left(10), datePattern_);
    dxDate_->setDate(date.isValid() ? date : kNoDate);
    dxDate_->setCalendarPopup(true);
}

bool dlgDateTime::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        dxTime_->setSelectedSection(dxTime_->currentSection());
    }
    return QDialog::eventFilter(watched, event);
}

bool dlgDateTime::DateIsEmpty() const {
    return dxDate_->date() == kNoDate;
}

QString dlgDateTime::ResultText() const {
    const QString date = DateIsEmpty() ? QString() : dxDate_->date().toString(datePattern_);
    return date + QLatin1Char(' ') + dxTime_->time().toString(kTimePattern);
}

void dlgDateTime::Confirm() {
    field_->setText(ResultText());
    accept();
}

} // namespace stampwell::ui
