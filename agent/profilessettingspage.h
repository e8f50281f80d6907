#pragma once

#include "ui_profilessettingspage.h"

#include <QWidget>

class ProfileListModel;
class UserProfileMappingModel;

// The account's profiles (add, remove, pick the active one, open one's filtering settings)
// and the binding of the computer's local users to profiles. Part of the main window and
// as passive as it: the lists are the models', new entries are reported as signals.
class ProfilesSettingsPage : public QWidget, private Ui::ProfilesSettingsPage
{
    Q_OBJECT
    Q_DISABLE_COPY(ProfilesSettingsPage)

public:
    explicit ProfilesSettingsPage(QWidget *parent = nullptr);

    void setModels(ProfileListModel *profiles, UserProfileMappingModel *mapping);
    // The user accounts the user combo box offers.
    void setLocalUsers(const QStringList &users);
    // Set from the service; never emits userProfileMappingStateChanged().
    void setUserProfileMappingEnabled(bool on);
    void retranslate();

Q_SIGNALS:
    void profileAdded(const QString &profileName);
    void userProfileMappingStateChanged(bool on);
    void configureProfile(const QModelIndex &index);
    void settingsPageRequested();

public Q_SLOTS:
    void getProfileName();
    void getUserProfileMapping();

private:
    void fillProfileSelector();

    ProfileListModel *m_profiles = nullptr;
    UserProfileMappingModel *m_mapping = nullptr;
};
