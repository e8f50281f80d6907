#pragma once

#include "statusicons.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QTableView>

class ControlListView;

// Draws the per-row control icons of a settings list (":/control/configure/<state>",
// ":/control/remove/<state>") in their states idle, hover, pressed and disabled, and turns
// a press and release on the same control cell into controlClicked(). A cell is disabled
// when its model flags lack Qt::ItemIsEnabled; other cells are drawn and edited as usual
// (so a check box in them still works).
class ControlDelegate : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY(ControlDelegate)

public:
    static constexpr int IconSize = 20;
    static constexpr int CellWidth = 32;

    explicit ControlDelegate(ControlListView *view);

    // The cells of this column show the control.
    void setControl(int column, StatusIcons::Control control);
    bool isControlColumn(int column) const { return m_controls.contains(column); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

Q_SIGNALS:
    void controlClicked(const QModelIndex &index, StatusIcons::Control control);

private:
    ControlListView *m_view;
    QHash<int, StatusIcons::Control> m_controls;
};

// A settings list: rows without grid or headers, the first column stretched, the control
// columns narrow, the hovered and the pressed control drawn in their states. The pressed
// control's cell is the property "pressedIndex" (invalid while nothing is pressed).
class ControlListView : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY(ControlListView)
    Q_PROPERTY(QModelIndex pressedIndex READ pressedIndex)

public:
    explicit ControlListView(QWidget *parent = nullptr);

    QModelIndex pressedIndex() const { return m_pressed; }
    void setPressedIndex(const QModelIndex &index);

    void setModel(QAbstractItemModel *model) override;

protected:
    // Installs the delegate and sizes its control columns; call from the subclass.
    void setControlDelegate(ControlDelegate *delegate);
    // Columns that share the width the controls leave; the first one unless set.
    void setStretchedColumns(const QList<int> &columns);
    ControlDelegate *controlDelegate() const { return m_delegate; }
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void resizeColumns();

    ControlDelegate *m_delegate = nullptr;
    QPersistentModelIndex m_pressed;
    QList<int> m_stretched = {0};
};
