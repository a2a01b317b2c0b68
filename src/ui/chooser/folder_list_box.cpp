#include "ui/chooser/folder_list_box.h"

#include "ui/chooser/folder_reading.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 10;

// Draws each entry moved right by its depth, so that the list reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(indented.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
    }

private:
    [[nodiscard]] static int Indent(const QModelIndex& index) {
        return index.data(kDepthRole).toInt() * kIndentPerLevel;
    }
};

}  // namespace

FolderListBox::FolderListBox(QWidget* parent) : ClickListBox(parent) {
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderListBox::Open);
    // An unreadable current folder still shows its path, so that the user can go up.
    if (!SetPath(QDir::currentPath())) {
        path_ = NormalFolder(QDir::currentPath());
    }
}

bool FolderListBox::SetPath(const QString& folder) {
    const QString normal = NormalFolder(folder);
    const std::optional<QStringList> subfolders = ReadSubfolders(normal);
    if (!subfolders) {
        return false;
    }
    clear();
    const QStringList chain = FolderChain(normal);
    const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (qsizetype depth = 0; depth < chain.size(); ++depth) {
        const QString& level = chain[depth];
        auto* entry = new QListWidgetItem(open_icon, depth == 0 ? level : QFileInfo(level).fileName(), this);
        entry->setData(kPathRole, level);
        entry->setData(kDepthRole, static_cast<int>(depth));
    }
    setCurrentItem(item(count() - 1));
    const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const QString& name : *subfolders) {
        auto* entry = new QListWidgetItem(closed_icon, name, this);
        entry->setData(kPathRole, PathInFolder(normal, name));
        entry->setData(kDepthRole, static_cast<int>(chain.size()));
    }
    scrollToItem(currentItem());

    const bool moved = normal.compare(path_, kFileNameCase) != 0;
    path_ = normal;
    if (moved) {
        Q_EMIT Change();
    }
    return true;
}

QString FolderListBox::SelectedPath() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(kPathRole).toString();
}

void FolderListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const QList<QListWidgetItem*> selected = selectedItems();
        if (!selected.isEmpty()) {
            Open(selected.first());
        }
        event->accept();
        return;
    }
    ClickListBox::keyPressEvent(event);
}

void FolderListBox::Open(const QListWidgetItem* item) {
    if (item != nullptr) {
        // A folder that cannot be opened is not entered; the list stays as it was.
        static_cast<void>(SetPath(item->data(kPathRole).toString()));
    }
}

}  // namespace ui
