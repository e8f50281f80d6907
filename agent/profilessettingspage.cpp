#include "profilessettingspage.h"

#include "profilelistmodel.h"
#include "userprofilemappingmodel.h"
#include "warningstyle.h"

#include <QSignalBlocker>

ProfilesSettingsPage::ProfilesSettingsPage(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    padButtons(this);
    connect(profilesSettingsBreadcrumb_, &QLabel::linkActivated, this, [this](const QString &link) {
        if (link == QLatin1String("window:page/settings"))
            Q_EMIT settingsPageRequested();
    });
    connect(profileNameForm_, &QLineEdit::returnPressed, this, &ProfilesSettingsPage::getProfileName);
    connect(profileAddButton_, &QAbstractButton::clicked, this, &ProfilesSettingsPage::getProfileName);
    connect(profileListView_, &ProfileListView::configureProfile, this, &ProfilesSettingsPage::configureProfile);
    connect(userProfileMappingFlag_, &QAbstractButton::clicked, this,
            &ProfilesSettingsPage::userProfileMappingStateChanged);
    connect(userProfileMappingAddButton_, &QAbstractButton::clicked, this,
            &ProfilesSettingsPage::getUserProfileMapping);
}

void ProfilesSettingsPage::setModels(ProfileListModel *profiles, UserProfileMappingModel *mapping)
{
    m_profiles = profiles;
    m_mapping = mapping;
    profileListView_->setModel(profiles);
    userProfileMappingView_->setModel(mapping);
    connect(profiles, &QAbstractItemModel::modelReset, this, &ProfilesSettingsPage::fillProfileSelector);
    connect(profiles, &QAbstractItemModel::rowsRemoved, this, &ProfilesSettingsPage::fillProfileSelector);
    fillProfileSelector();
}

// The profile names as text: the model's own rows carry check marks a combo box would show.
void ProfilesSettingsPage::fillProfileSelector()
{
    const QString current = mappingProfileSelector_->currentText();
    const QSignalBlocker blocker(mappingProfileSelector_);
    mappingProfileSelector_->clear();
    for (int row = 0; m_profiles && row < m_profiles->rowCount(); ++row)
        mappingProfileSelector_->addItem(m_profiles->index(row, 0).data(ProfileListModel::NameRole).toString());
    const int index = mappingProfileSelector_->findText(current);
    if (index >= 0)
        mappingProfileSelector_->setCurrentIndex(index);
}

void ProfilesSettingsPage::setLocalUsers(const QStringList &users)
{
    const QString current = localUserSelector_->currentText();
    localUserSelector_->clear();
    localUserSelector_->addItems(users);
    const int index = localUserSelector_->findText(current);
    if (index >= 0)
        localUserSelector_->setCurrentIndex(index);
}

void ProfilesSettingsPage::setUserProfileMappingEnabled(bool on)
{
    userProfileMappingFlag_->setChecked(on);
}

void ProfilesSettingsPage::getProfileName()
{
    const QString name = profileNameForm_->text().trimmed();
    if (name.isEmpty())
        return;
    profileNameForm_->clear();
    Q_EMIT profileAdded(name);
}

void ProfilesSettingsPage::getUserProfileMapping()
{
    if (m_mapping)
        m_mapping->addMapping(localUserSelector_->currentText(), mappingProfileSelector_->currentText());
}

void ProfilesSettingsPage::retranslate()
{
    retranslateUi(this);
    padButtons(this);
}
