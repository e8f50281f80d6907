#pragma once

#include "ui_filtersettingspage.h"

#include "cabinetschedule.h"

#include <QWidget>

class AliasListModel;
class CategoryTreeModel;
class DomainListModel;
class ProfileListModel;

// The filtering settings of one profile, in tabs: categories, white and black lists,
// aliases, schedule and the advanced switches. Part of the main window and as passive as
// it: the lists are the models' (their edits go out as the models' signals), the new
// entries typed here are reported as signals, the switches are set on the profile list
// model.
//
// The profile shown is the "chosen" one: each configure*Tab() chooses it, sets it as
// "chosenProfile" of that tab's models and shows the tab. Switching tabs configures the
// new tab for the same profile.
class FilterSettingsPage : public QWidget, private Ui::FilterSettingsPage
{
    Q_OBJECT
    Q_DISABLE_COPY(FilterSettingsPage)

public:
    enum Tab { CategoriesTab = 0, BwListsTab, AliasesTab, ScheduleTab, AdvancedSettingsTab };
    Q_ENUM(Tab)

    explicit FilterSettingsPage(QWidget *parent = nullptr);

    void setModels(ProfileListModel *profiles, CategoryTreeModel *categories, DomainListModel *whiteList,
                   DomainListModel *blackList, AliasListModel *aliases);

    // The chosen profile's row of the profile list model (column 0); invalid when none.
    QModelIndex chosenProfile() const;
    // Shows the current tab for another profile.
    void configure(const QModelIndex &profile);
    void setSchedule(quint32 profileId, const CabinetSchedule &schedule);
    void retranslate();

Q_SIGNALS:
    void whiteListDomainAdded(uint profileId, const QString &domain);
    void blackListDomainAdded(uint profileId, const QString &domain);
    void aliasAdded(uint profileId, const QString &domain, const QString &address);
    void scheduleRequested(uint profileId);
    void settingsPageRequested();

public Q_SLOTS:
    void configureCategoriesTab(const QModelIndex &profile);
    void configureBwListsTab(const QModelIndex &profile);
    void configureAliasesTab(const QModelIndex &profile);
    void configureScheduleTab(const QModelIndex &profile);
    void configureAdvancedSettingsTab(const QModelIndex &profile);
    void getWhiteListDomain();
    void getBlackListDomain();
    void getAlias();

private:
    void setupSignals();
    void choose(const QModelIndex &profile, Tab tab);
    // The switches and marks that follow the chosen profile's flags.
    void showProfileFlags();
    void setProfileFlag(int role, bool on);
    bool profileFlag(int role) const;
    void getDomain(QLineEdit *form, bool white);

    ProfileListModel *m_profiles = nullptr;
    CategoryTreeModel *m_categories = nullptr;
    DomainListModel *m_whiteList = nullptr;
    DomainListModel *m_blackList = nullptr;
    AliasListModel *m_aliases = nullptr;
    quint32 m_profileId = 0;
    bool m_choosing = false;
};
