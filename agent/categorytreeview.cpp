#include "categorytreeview.h"

#include <QHeaderView>
#include <QMouseEvent>

bool CategoryTreeView::Delegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                             const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const Qt::ItemFlags flags = index.flags();
    if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled))
        return false;
    if (event->type() == QEvent::MouseButtonDblClick)
        return true; // a double click must not toggle twice
    if (event->type() != QEvent::MouseButtonRelease)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->pos()))
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

CategoryTreeView::CategoryTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setItemDelegate(new Delegate(this));
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setUniformRowHeights(false);
    setIndentation(12);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Stretch);
}

void CategoryTreeView::setModel(QAbstractItemModel *model)
{
    QTreeView::setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, &CategoryTreeView::layoutGroups);
        connect(model, &QAbstractItemModel::rowsInserted, this, &CategoryTreeView::layoutGroups);
    }
    layoutGroups();
}

// A group's name takes the whole row; its categories are always shown.
void CategoryTreeView::layoutGroups()
{
    if (!model())
        return;
    for (int row = 0; row < model()->rowCount(); ++row)
        setFirstColumnSpanned(row, QModelIndex(), true);
    expandAll();
}
