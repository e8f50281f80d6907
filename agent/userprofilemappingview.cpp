#include "userprofilemappingview.h"

#include "userprofilemappingmodel.h"

#include <QHeaderView>

UserProfileMappingView::Delegate::Delegate(UserProfileMappingView *view)
    : ControlDelegate(view)
{
    setControl(UserProfileMappingModel::RemoveColumn, StatusIcons::Control::Remove);
}

UserProfileMappingView::UserProfileMappingView(QWidget *parent)
    : ControlListView(parent)
{
    auto *delegate = new Delegate(this);
    connect(delegate, &ControlDelegate::controlClicked, this, &UserProfileMappingView::delegate_controlClicked);
    setControlDelegate(delegate);
    setStretchedColumns({UserProfileMappingModel::UserColumn, UserProfileMappingModel::ProfileColumn});
    horizontalHeader()->show();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void UserProfileMappingView::delegate_controlClicked(const QModelIndex &index, StatusIcons::Control control)
{
    if (control == StatusIcons::Control::Remove && model())
        model()->removeRow(index.row());
}
