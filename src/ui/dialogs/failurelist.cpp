#include "ui/dialogs/failurelist.h"

#include "ui/main/modMessageBox.h"
#include "ui/main/qtext.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace stampwell::ui {

FailureList::FailureList(std::vector<Row> rows, Texts texts, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)), texts_(std::move(texts)),
      list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("FailureList"));
    setWindowTitle(QStringLiteral("Stampwell - ") + texts_.title);
    list_->setObjectName(QStringLiteral("list"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({texts_.columns[0], texts_.columns[1], texts_.columns[2]});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows_.size()));
    for (const Row& row : rows_) {
        auto* item = new QTreeWidgetItem({row.item, row.step, row.reason});
        item->setToolTip(0, row.item);
        item->setToolTip(2, row.reason);
        items.append(item);
    }
    list_->addTopLevelItems(items);
    list_->header()->resizeSection(0, 320);
    list_->header()->resizeSection(1, 180);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    if (!texts_.more.isEmpty()) {
        auto* more = new QLabel(texts_.more, this);
        more->setObjectName(QStringLiteral("more"));
        layout->addWidget(more);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(texts_.copy, QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("cmdCopy"));
    copy->setToolTip(WithoutMnemonic(texts_.copy));
    QPushButton* save = buttons->addButton(texts_.save, QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("cmdSave"));
    save->setToolTip(WithoutMnemonic(texts_.save));
    for (QAbstractButton* button : buttons->buttons()) {
        button->setIcon(QIcon());
    }
    layout->addWidget(buttons);
    connect(copy, &QPushButton::clicked, this, &FailureList::CopyText);
    connect(save, &QPushButton::clicked, this, &FailureList::AskAndSave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(760, 420);
}

QString FailureList::Text() const {
    QString text;
    for (const Row& row : rows_) {
        text += row.item + QLatin1Char('\t') + row.step + QLatin1Char('\t') + row.reason +
                QLatin1Char('\n');
    }
    if (!texts_.more.isEmpty()) {
        text += texts_.more + QLatin1Char('\n');
    }
    return text;
}

void FailureList::CopyText() const {
    QGuiApplication::clipboard()->setText(Text());
}

bool FailureList::SaveText(const QString& path) {
    // Written whole or not at all: the file appears only once complete.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(Text().toUtf8()) >= 0 && file.commit()) {
        return true;
    }
    ShowMessage(this, MessageIcon::Warning, QStringLiteral("Stampwell"),
                texts_.saveFailed.arg(file.errorString()), MessageButtons::Ok);
    return false;
}

void FailureList::AskAndSave() {
    const QString path = QFileDialog::getSaveFileName(this, WithoutMnemonic(texts_.save), QString(),
                                                      texts_.fileTypes);
    if (!path.isEmpty()) {
        SaveText(path);
    }
}

} // namespace stampwell::ui
