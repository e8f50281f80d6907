#pragma once

#include "controllistview.h"

// A white or black list of the chosen profile: the domain and its remove icon, which
// removes the row through the model.
class DomainListView : public ControlListView
{
    Q_OBJECT
    Q_DISABLE_COPY(DomainListView)

public:
    class Delegate;

    explicit DomainListView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

private:
    void delegate_controlClicked(const QModelIndex &index, StatusIcons::Control control);
};

class DomainListView::Delegate : public ControlDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY(Delegate)

public:
    explicit Delegate(ControlListView *view) : ControlDelegate(view) {}
};

// The alias list: the domain, its address and the remove icon.
class AliasListView : public DomainListView
{
    Q_OBJECT
    Q_DISABLE_COPY(AliasListView)

public:
    explicit AliasListView(QWidget *parent = nullptr) : DomainListView(parent) {}
};
