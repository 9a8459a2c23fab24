#pragma once

#include <QDialog>
#include <QString>

class QDateEdit;
class QLabel;
class QLineEdit;
class QTimeEdit;

namespace stampwell::ui {

// The date/time dialog: edits a date-time field ("date time", the date in
// the given pattern, the time as HH:mm:ss) with a date editor and a time
// editor. OK writes the field back; Cancel leaves it alone.
class dlgDateTime : public QDialog {
    Q_OBJECT
public:
    dlgDateTime(QLineEdit* field, const QString& datePattern, QWidget* parent = nullptr);

    // The caption and the two labels in the language in use.
    void SetTexts(const QString& caption, const QString& date, const QString& time);

    // What OK writes: the date editor's text, a blank, the time editor's text.
    QString ResultText() const;
    QDateEdit* DateEditor() const { return dxDate_; }
    QTimeEdit* TimeEditor() const { return dxTime_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void Confirm();
    bool DateIsEmpty() const;

    QLineEdit* field_;
    QString datePattern_;
    QDateEdit* dxDate_;
    QTimeEdit* dxTime_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
};

} // namespace stampwell::ui
