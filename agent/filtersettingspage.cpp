#include "filtersettingspage.h"

#include "categorytreemodel.h"
#include "domainlistmodel.h"
#include "profilelistmodel.h"
#include "warningstyle.h"
#include "window.h"

#include <QRegularExpression>

FilterSettingsPage::FilterSettingsPage(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    padButtons(this);
    categoriesLockedText_->hide();
    setupSignals();
}

void FilterSettingsPage::setupSignals()
{
    connect(filterSettingsBreadcrumb_, &QLabel::linkActivated, this, [this](const QString &link) {
        if (link == QLatin1String("window:page/settings"))
            Q_EMIT settingsPageRequested();
    });
    connect(filterSettingsTabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!m_choosing)
            choose(chosenProfile(), Tab(tab));
    });

    connect(whiteListForm_, &QLineEdit::returnPressed, this, &FilterSettingsPage::getWhiteListDomain);
    connect(whiteListAddButton_, &QAbstractButton::clicked, this, &FilterSettingsPage::getWhiteListDomain);
    connect(blackListForm_, &QLineEdit::returnPressed, this, &FilterSettingsPage::getBlackListDomain);
    connect(blackListAddButton_, &QAbstractButton::clicked, this, &FilterSettingsPage::getBlackListDomain);
    connect(aliasDomainForm_, &QLineEdit::returnPressed, this, &FilterSettingsPage::getAlias);
    connect(aliasAddressForm_, &QLineEdit::returnPressed, this, &FilterSettingsPage::getAlias);
    connect(aliasAddButton_, &QAbstractButton::clicked, this, &FilterSettingsPage::getAlias);
    for (QLineEdit *form : {aliasDomainForm_, aliasAddressForm_})
        connect(form, &QLineEdit::textEdited, this, [form] { setWarningStyle(form, "warningStyle", false); });

    const struct
    {
        QCheckBox *flag;
        int role;
    } switches[] = {
        {scheduleFlag_, ProfileListModel::ScheduleEnabledRole},
        {whiteListOnlyFlag_, ProfileListModel::WhiteListOnlyRole},
        {blockUnknownFlag_, ProfileListModel::BlockUnknownRole},
        {safeSearchFlag_, ProfileListModel::SafeSearchRole},
        {safeYoutubeFlag_, ProfileListModel::SafeYoutubeRole},
    };
    for (const auto &entry : switches) {
        const int role = entry.role;
        connect(entry.flag, &QAbstractButton::clicked, this, [this, role](bool on) { setProfileFlag(role, on); });
    }
}

void FilterSettingsPage::setModels(ProfileListModel *profiles, CategoryTreeModel *categories,
                                   DomainListModel *whiteList, DomainListModel *blackList, AliasListModel *aliases)
{
    m_profiles = profiles;
    m_categories = categories;
    m_whiteList = whiteList;
    m_blackList = blackList;
    m_aliases = aliases;
    categoryTreeView_->setModel(categories);
    whiteListView_->setModel(whiteList);
    blackListView_->setModel(blackList);
    aliasListView_->setModel(aliases);
    // The service's pushes replace the profiles: the switches follow the chosen one.
    connect(profiles, &QAbstractItemModel::modelReset, this, &FilterSettingsPage::showProfileFlags);
    connect(profiles, &QAbstractItemModel::rowsRemoved, this, &FilterSettingsPage::showProfileFlags);
    connect(profiles, &QAbstractItemModel::dataChanged, this, &FilterSettingsPage::showProfileFlags);
}

QModelIndex FilterSettingsPage::chosenProfile() const
{
    if (!m_profiles || m_profileId == 0)
        return QModelIndex();
    const int row = m_profiles->rowOf(m_profileId);
    return row < 0 ? QModelIndex() : m_profiles->index(row, ProfileListModel::NameColumn);
}

void FilterSettingsPage::configure(const QModelIndex &profile)
{
    choose(profile, Tab(filterSettingsTabs_->currentIndex()));
}

void FilterSettingsPage::configureCategoriesTab(const QModelIndex &profile)
{
    choose(profile, CategoriesTab);
}

void FilterSettingsPage::configureBwListsTab(const QModelIndex &profile)
{
    choose(profile, BwListsTab);
}

void FilterSettingsPage::configureAliasesTab(const QModelIndex &profile)
{
    choose(profile, AliasesTab);
}

void FilterSettingsPage::configureScheduleTab(const QModelIndex &profile)
{
    choose(profile, ScheduleTab);
}

void FilterSettingsPage::configureAdvancedSettingsTab(const QModelIndex &profile)
{
    choose(profile, AdvancedSettingsTab);
}

void FilterSettingsPage::choose(const QModelIndex &profile, Tab tab)
{
    if (profile.isValid())
        m_profileId = profile.data(ProfileListModel::IdRole).toUInt();
    m_choosing = true;
    filterSettingsTabs_->setCurrentIndex(tab);
    m_choosing = false;
    // Each tab's models show this profile; the views fetch what is not cached yet.
    switch (tab) {
    case CategoriesTab:
        m_categories->setChosenProfile(m_profileId);
        m_categories->setEditable(!profileFlag(ProfileListModel::WhiteListOnlyRole));
        m_categories->retryFailed();
        if (m_categories->canFetchMore(QModelIndex()))
            m_categories->fetchMore(QModelIndex());
        break;
    case BwListsTab:
        for (DomainListModel *list : {m_whiteList, m_blackList}) {
            list->setChosenProfile(m_profileId);
            list->retryFailed();
            if (list->canFetchMore(QModelIndex()))
                list->fetchMore(QModelIndex());
        }
        break;
    case AliasesTab:
        m_aliases->setChosenProfile(m_profileId);
        m_aliases->retryFailed();
        if (m_aliases->canFetchMore(QModelIndex()))
            m_aliases->fetchMore(QModelIndex());
        break;
    case ScheduleTab:
        schedule_->setSchedule(CabinetSchedule());
        if (m_profileId != 0)
            Q_EMIT scheduleRequested(m_profileId);
        break;
    case AdvancedSettingsTab:
        break;
    }
    showProfileFlags();
}

void FilterSettingsPage::showProfileFlags()
{
    const bool known = chosenProfile().isValid();
    const bool whiteOnly = profileFlag(ProfileListModel::WhiteListOnlyRole);
    scheduleFlag_->setChecked(profileFlag(ProfileListModel::ScheduleEnabledRole));
    whiteListOnlyFlag_->setChecked(whiteOnly);
    blockUnknownFlag_->setChecked(profileFlag(ProfileListModel::BlockUnknownRole));
    safeSearchFlag_->setChecked(profileFlag(ProfileListModel::SafeSearchRole));
    safeYoutubeFlag_->setChecked(profileFlag(ProfileListModel::SafeYoutubeRole));
    for (QWidget *flag : {static_cast<QWidget *>(scheduleFlag_), static_cast<QWidget *>(whiteListOnlyFlag_),
                          static_cast<QWidget *>(safeSearchFlag_), static_cast<QWidget *>(safeYoutubeFlag_)})
        flag->setEnabled(known);
    // With the white list only, nothing else is reachable: unknown sites and categories
    // have no say.
    blockUnknownFlag_->setEnabled(known && !whiteOnly);
    categoriesLockedText_->setVisible(whiteOnly);
    if (m_categories && filterSettingsTabs_->currentIndex() == CategoriesTab)
        m_categories->setEditable(!whiteOnly);
}

bool FilterSettingsPage::profileFlag(int role) const
{
    return chosenProfile().data(role).toBool();
}

void FilterSettingsPage::setProfileFlag(int role, bool on)
{
    const QModelIndex profile = chosenProfile();
    if (!profile.isValid() || !m_profiles->setData(profile, on, role))
        showProfileFlags();
}

void FilterSettingsPage::setSchedule(quint32 profileId, const CabinetSchedule &schedule)
{
    if (profileId == m_profileId)
        schedule_->setSchedule(schedule);
}

void FilterSettingsPage::getWhiteListDomain()
{
    getDomain(whiteListForm_, true);
}

void FilterSettingsPage::getBlackListDomain()
{
    getDomain(blackListForm_, false);
}

void FilterSettingsPage::getDomain(QLineEdit *form, bool white)
{
    const QString domain = form->text().trimmed();
    if (domain.isEmpty() || m_profileId == 0)
        return;
    form->clear();
    if (white)
        Q_EMIT whiteListDomainAdded(m_profileId, domain);
    else
        Q_EMIT blackListDomainAdded(m_profileId, domain);
}

void FilterSettingsPage::getAlias()
{
    static const QRegularExpression ipv4(QString::fromLatin1(Window::DnsServerPattern));
    const QString domain = aliasDomainForm_->text().trimmed();
    const QString address = aliasAddressForm_->text().trimmed();
    const bool domainOk = !domain.isEmpty();
    const bool addressOk = ipv4.match(address).hasMatch();
    setWarningStyle(aliasDomainForm_, "warningStyle", !domainOk);
    setWarningStyle(aliasAddressForm_, "warningStyle", !addressOk);
    if (!domainOk || !addressOk || m_profileId == 0)
        return;
    aliasDomainForm_->clear();
    aliasAddressForm_->clear();
    Q_EMIT aliasAdded(m_profileId, domain, address);
}

void FilterSettingsPage::retranslate()
{
    retranslateUi(this);
    padButtons(this);
}
