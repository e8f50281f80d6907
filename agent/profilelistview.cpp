#include "profilelistview.h"

#include "profilelistmodel.h"
#include "warningstyle.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ProfileListView::Delegate::Delegate(ProfileListView *view)
    : ControlDelegate(view)
{
    setControl(ProfileListModel::ConfigureColumn, StatusIcons::Control::Configure);
    setControl(ProfileListModel::RemoveColumn, StatusIcons::Control::Remove);
}

ProfileListView::RemoveDialog::RemoveDialog(const QString &profileName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("profileRemoveDialog_"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(380);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(16);
    auto *text = new QLabel(QCoreApplication::translate("Window", "Do you really want to delete %1 profile?")
                                .arg(profileName.toHtmlEscaped()),
                            this);
    text->setObjectName(QStringLiteral("profileRemoveText_"));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *yes = buttons->addButton(QCoreApplication::translate("Window", "Yes"), QDialogButtonBox::YesRole);
    yes->setObjectName(QStringLiteral("profileRemoveYesButton_"));
    QPushButton *no = buttons->addButton(QCoreApplication::translate("Window", "No"), QDialogButtonBox::NoRole);
    no->setObjectName(QStringLiteral("profileRemoveNoButton_"));
    no->setDefault(true);
    connect(yes, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(no, &QAbstractButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    padButtons(this);
}

ProfileListView::ProfileListView(QWidget *parent)
    : ControlListView(parent)
{
    auto *delegate = new Delegate(this);
    connect(delegate, &ControlDelegate::controlClicked, this, &ProfileListView::delegate_controlClicked);
    setControlDelegate(delegate);
}

void ProfileListView::delegate_controlClicked(const QModelIndex &index, StatusIcons::Control control)
{
    const QModelIndex name = index.siblingAtColumn(ProfileListModel::NameColumn);
    if (control == StatusIcons::Control::Configure) {
        Q_EMIT configureProfile(name);
        return;
    }
    auto *dialog = new RemoveDialog(name.data(ProfileListModel::NameRole).toString(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The list may change while the dialog is open: the row is looked up again at the end.
    const QPersistentModelIndex row(name);
    connect(dialog, &QDialog::accepted, this, [row] {
        if (row.isValid())
            const_cast<QAbstractItemModel *>(row.model())->removeRow(row.row());
    });
    dialog->open();
}
