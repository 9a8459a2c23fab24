#include "ui/main/modBrowseFolders.h"

#include "ui/main/modCompactPath.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

namespace stampwell::ui {

namespace {

// The status line may run this far past the label's own width: the path is
// shortened for the label plus this allowance.
constexpr int kStatusAllowance = 80;

} // namespace

BrowseDialog::BrowseDialog(const QString& title, const QString& initialPath, QWidget* owner,
                           bool statusLine, bool includeFiles, const QString& root,
                           const QString& statusPrefix)
    : QDialog(owner), model_(new QFileSystemModel(this)), tree_(new QTreeView(this)),
      statusPrefix_(statusPrefix) {
    setObjectName(QStringLiteral("modBrowseFolders"));
    setWindowTitle(title);
    QDir::Filters filters = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    if (includeFiles) {
        filters |= QDir::Files;
    }
    model_->setFilter(filters);
    model_->setResolveSymlinks(false);
    const QModelIndex rootIndex = model_->setRootPath(root.isEmpty() ? QDir::rootPath() : root);
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setModel(model_);
    if (!root.isEmpty()) {
        tree_->setRootIndex(rootIndex);
    }
    for (int column = 1; column < model_->columnCount(); ++column) {
        tree_->hideColumn(column);
    }
    tree_->header()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    if (statusLine) {
        status_ = new QLabel(this);
        status_->setObjectName(QStringLiteral("status"));
        status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        layout->addWidget(status_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* button : buttons->buttons()) {
        button->setIcon(QIcon());
    }
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &BrowseDialog::SelectionChanged);
    resize(420, 480);
    if (!initialPath.isEmpty()) {
        Select(initialPath);
    }
}

QString BrowseDialog::SelectedPath() const {
    const QModelIndex current = tree_->currentIndex();
    if (!current.isValid()) {
        return QString();
    }
    return QDir::toNativeSeparators(model_->filePath(current));
}

void BrowseDialog::Select(const QString& path) {
    const QModelIndex index = model_->index(QDir::fromNativeSeparators(path));
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
    }
}

void BrowseDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SelectionChanged();
}

QString BrowseDialog::StatusText() const {
    return status_ ? status_->text() : QString();
}

void BrowseDialog::SelectionChanged() {
    if (!status_) {
        return;
    }
    const QString path = SelectedPath();
    if (path.isEmpty()) {
        status_->setText(QString());
        return;
    }
    const QFontMetrics metrics = status_->fontMetrics();
    const int width = status_->contentsRect().width() - metrics.horizontalAdvance(statusPrefix_) +
                      kStatusAllowance;
    status_->setText(statusPrefix_ + CompactPathToWidth(path, metrics, width));
}

QString BrowseForFolder(const QString& title, const QString& initialPath, QWidget* owner,
                        bool statusLine, bool newStyle, bool includeFiles, const QString& root,
                        const QString& statusPrefix) {
    BrowseDialog dialog(title, initialPath, owner, statusLine, includeFiles, root, statusPrefix);
    dialog.setSizeGripEnabled(newStyle);
    if (dialog.exec() != QDialog::Accepted) {
        return QString();
    }
    return dialog.SelectedPath();
}

} // namespace stampwell::ui
