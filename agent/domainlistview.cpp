#include "domainlistview.h"

#include "domainlistmodel.h"

DomainListView::DomainListView(QWidget *parent)
    : ControlListView(parent)
{
    auto *delegate = new Delegate(this);
    connect(delegate, &ControlDelegate::controlClicked, this, &DomainListView::delegate_controlClicked);
    setControlDelegate(delegate);
}

// The remove column is the model's last: 1 for white and black lists, 2 for aliases.
void DomainListView::setModel(QAbstractItemModel *model)
{
    if (auto *domains = qobject_cast<DomainListModel *>(model))
        controlDelegate()->setControl(domains->removeColumn(), StatusIcons::Control::Remove);
    ControlListView::setModel(model);
}

void DomainListView::delegate_controlClicked(const QModelIndex &index, StatusIcons::Control control)
{
    if (control == StatusIcons::Control::Remove && model())
        model()->removeRow(index.row());
}
