#pragma once

#include <QStyledItemDelegate>
#include <QTreeView>

// The category groups with their categories two per row, each with a check box for
// "blocked". A click anywhere on a category or group toggles it (the model decides
// whether it may change); the groups stay expanded.
class CategoryTreeView : public QTreeView
{
    Q_OBJECT
    Q_DISABLE_COPY(CategoryTreeView)

public:
    class Delegate;

    explicit CategoryTreeView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

private:
    void layoutGroups();
};

class CategoryTreeView::Delegate : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY(Delegate)

public:
    explicit Delegate(QObject *parent) : QStyledItemDelegate(parent) {}

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
