#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

class QTreeWidget;

namespace stampwell::ui {

// The failures of a run, one row each: the item, the step that failed and
// the system's reason. The list can be copied and saved as text.
class FailureList : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString item;
        QString step;
        QString reason;
    };
    // The window's texts in the language in use.
    struct Texts {
        QString title;
        std::array<QString, 3> columns; // item, step, reason
        QString more;                   // the line for the failures not listed; "" for none
        QString copy;                   // button captions
        QString save;
        QString fileTypes;  // the save dialog's filter
        QString saveFailed; // %1: the system's reason
    };

    FailureList(std::vector<Row> rows, Texts texts, QWidget* parent);

    // The list as text: a line per failure with its three columns separated
    // by tabs, then the line for those not listed.
    QString Text() const;
    void CopyText() const;
    // Writes the text (UTF-8) to the file; false with a message on failure.
    bool SaveText(const QString& path);

private:
    void AskAndSave();

    std::vector<Row> rows_;
    Texts texts_;
    QTreeWidget* list_;
};

} // namespace stampwell::ui
