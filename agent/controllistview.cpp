#include "controllistview.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

ControlDelegate::ControlDelegate(ControlListView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
{
}

void ControlDelegate::setControl(int column, StatusIcons::Control control)
{
    m_controls.insert(column, control);
}

void ControlDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto control = m_controls.constFind(index.column());
    if (control == m_controls.constEnd()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The row's background as the style draws it, without the decoration the model gives.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    // A cell that is not enabled (the default profile's remove cell) shows the disabled icon.
    StatusIcons::ControlState state = StatusIcons::ControlState::Idle;
    if (!(index.flags() & Qt::ItemIsEnabled))
        state = StatusIcons::ControlState::Disabled;
    else if (m_view->pressedIndex() == index)
        state = StatusIcons::ControlState::Pressed;
    else if (option.state & QStyle::State_MouseOver)
        state = StatusIcons::ControlState::Hover;
    QRect icon(0, 0, IconSize, IconSize);
    icon.moveCenter(option.rect.center());
    StatusIcons::controlIcon(*control, state).paint(painter, icon);
}

QSize ControlDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    return QSize(isControlColumn(index.column()) ? CellWidth : size.width(), qMax(size.height(), IconSize + 8));
}

bool ControlDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                  const QModelIndex &index)
{
    const auto control = m_controls.constFind(index.column());
    if (control == m_controls.constEnd())
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const bool enabled = index.flags() & Qt::ItemIsEnabled;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (enabled && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_view->setPressedIndex(index);
        return true;
    case QEvent::MouseButtonRelease: {
        const bool clicked = enabled && m_view->pressedIndex() == index
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        m_view->setPressedIndex(QModelIndex());
        if (clicked)
            Q_EMIT controlClicked(index, *control);
        return true;
    }
    default:
        return false;
    }
}

ControlListView::ControlListView(QWidget *parent)
    : QTableView(parent)
{
    setShowGrid(false);
    setMouseTracking(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void ControlListView::setControlDelegate(ControlDelegate *delegate)
{
    m_delegate = delegate;
    setItemDelegate(delegate);
    resizeColumns();
}

void ControlListView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::modelReset, this, &ControlListView::resizeColumns);
    resizeColumns();
}

void ControlListView::resizeColumns()
{
    if (!model())
        return;
    QHeaderView *header = horizontalHeader();
    header->setMinimumSectionSize(ControlDelegate::CellWidth);
    for (int column = 0; column < model()->columnCount(); ++column) {
        if (m_delegate && m_delegate->isControlColumn(column)) {
            header->setSectionResizeMode(column, QHeaderView::Fixed);
            header->resizeSection(column, ControlDelegate::CellWidth);
        } else {
            header->setSectionResizeMode(column, m_stretched.contains(column) ? QHeaderView::Stretch
                                                                              : QHeaderView::ResizeToContents);
        }
    }
}

void ControlListView::setStretchedColumns(const QList<int> &columns)
{
    m_stretched = columns;
    resizeColumns();
}

void ControlListView::setPressedIndex(const QModelIndex &index)
{
    const QModelIndex previous = m_pressed;
    m_pressed = index;
    if (previous.isValid())
        update(previous);
    if (index.isValid())
        update(index);
}

// A press that ends outside its control (or outside the view) clicks nothing.
void ControlListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (m_pressed.isValid())
        setPressedIndex(QModelIndex());
}

void ControlListView::leaveEvent(QEvent *event)
{
    QTableView::leaveEvent(event);
    viewport()->update();
}
