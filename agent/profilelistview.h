#pragma once

#include "controllistview.h"

#include <QDialog>

class QLabel;

// The account's profiles with their check mark (checking another profile asks the model to
// select it), the word "Active", the configure icon (configureProfile()) and the remove
// icon, which asks for confirmation in a RemoveDialog before the model removes the row.
class ProfileListView : public ControlListView
{
    Q_OBJECT
    Q_DISABLE_COPY(ProfileListView)

public:
    class Delegate;

    // "Do you really want to delete %1 profile?" with "Yes" and "No". Modal to the window,
    // opened without a nested event loop; accepted() means Yes.
    class RemoveDialog : public QDialog
    {
        Q_DISABLE_COPY(RemoveDialog)

    public:
        RemoveDialog(const QString &profileName, QWidget *parent);
    };

    explicit ProfileListView(QWidget *parent = nullptr);

Q_SIGNALS:
    void configureProfile(const QModelIndex &index);

private:
    void delegate_controlClicked(const QModelIndex &index, StatusIcons::Control control);
};

class ProfileListView::Delegate : public ControlDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY(Delegate)

public:
    explicit Delegate(ProfileListView *view);
};
