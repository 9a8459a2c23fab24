#pragma once

#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLabel;
class QTreeView;

namespace stampwell::ui {

// The browse dialog: a tree of the file system in which a folder (and, when
// asked, a file) is chosen. The status line shows the prefix (the caller's
// text in the language in use) and the selected path, shortened to fit.
class BrowseDialog : public QDialog {
    Q_OBJECT
public:
    BrowseDialog(const QString& title, const QString& initialPath, QWidget* owner, bool statusLine,
                 bool includeFiles, const QString& root, const QString& statusPrefix = QString());

    // The selected item's path in the platform's form; "" when none.
    QString SelectedPath() const;
    // Selects the path in the tree (the dialog opens at the initial path).
    void Select(const QString& path);
    QString StatusText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SelectionChanged();

    QFileSystemModel* model_;
    QTreeView* tree_;
    QLabel* status_ = nullptr;
    QString statusPrefix_;
};

// Shows the browse dialog modally; the chosen path, or "" when cancelled or
// when the choice has no file-system path. newStyle gives the resizable
// dialog with its own buttons (the only form this program has).
QString BrowseForFolder(const QString& title, const QString& initialPath, QWidget* owner,
                        bool statusLine, bool newStyle, bool includeFiles,
                        const QString& root = QString(), const QString& statusPrefix = QString());

} // namespace stampwell::ui
