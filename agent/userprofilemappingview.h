#pragma once

#include "controllistview.h"

// The bindings of local users to profiles: user, profile and the remove icon, which
// removes the binding through the model.
class UserProfileMappingView : public ControlListView
{
    Q_OBJECT
    Q_DISABLE_COPY(UserProfileMappingView)

public:
    class Delegate;

    explicit UserProfileMappingView(QWidget *parent = nullptr);

private:
    void delegate_controlClicked(const QModelIndex &index, StatusIcons::Control control);
};

class UserProfileMappingView::Delegate : public ControlDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY(Delegate)

public:
    explicit Delegate(UserProfileMappingView *view);
};
