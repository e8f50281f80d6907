// Agent's part of the filtering settings views: every edit of the models and of the
// settings pages becomes one call or notification to the service, and what the views
// fetch lazily comes back into the models.

#include "agent.h"

#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "categorytreemodel.h"
#include "domainlistmodel.h"
#include "jsonrpccall.h"
#include "localusers.h"
#include "profilelistmodel.h"
#include "trayicon.h"
#include "userprofilemappingmodel.h"
#include "window.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAgent)

void Agent::wireSettingsModels()
{
    connect(m_profiles, &ProfileListModel::profileRemoved, this, &Agent::removeProfile);
    connect(m_profiles, &ProfileListModel::scheduleEnabled, this, &Agent::enableSchedule);
    connect(m_profiles, &ProfileListModel::whiteListOnlyEnabled, this, &Agent::setWhiteListOnlyEnabled);
    connect(m_profiles, &ProfileListModel::blockUnknownEnabled, this, &Agent::setBlockUnknownEnabled);
    connect(m_profiles, &ProfileListModel::safeSearchEnabled, this, &Agent::setSafeSearchEnabled);
    connect(m_profiles, &ProfileListModel::safeYoutubeEnabled, this, &Agent::setSafeYoutubeEnabled);
    connect(m_window, &Window::profileAdded, this, &Agent::addProfile);

    connect(m_categories, &CategoryTreeModel::categoriesRequested, this, &Agent::updateCategories);
    connect(m_categories, &CategoryTreeModel::blockedCategoriesRequested, this, &Agent::updateBlockedCategories);
    connect(m_categories, &CategoryTreeModel::categoryBlocked, this, &Agent::blockCategory);

    connect(m_whiteList, &DomainListModel::listRequested, this, &Agent::updateWhiteList);
    connect(m_window, &Window::whiteListDomainAdded, this, &Agent::addWhiteListDomain);
    connect(m_whiteList, &DomainListModel::domainRemoved, this, &Agent::removeWhiteListDomain);
    connect(m_blackList, &DomainListModel::listRequested, this, &Agent::updateBlackList);
    connect(m_window, &Window::blackListDomainAdded, this, &Agent::addBlackListDomain);
    connect(m_blackList, &DomainListModel::domainRemoved, this, &Agent::removeBlackListDomain);
    connect(m_aliasList, &DomainListModel::listRequested, this, &Agent::updateAliasList);
    connect(m_window, &Window::aliasAdded, this, &Agent::addAlias);
    connect(m_aliasList, &AliasListModel::aliasRemoved, this, &Agent::removeAlias);

    connect(m_window, &Window::userProfileMappingStateChanged, this, &Agent::enableUserProfileMapping);
    connect(m_userMapping, &UserProfileMappingModel::mappingChanged, this, &Agent::changeUserProfileMapping);
    connect(m_window, &Window::scheduleRequested, this, &Agent::updateSchedule);

    m_window->setSettingsModels(m_profiles, m_categories, m_whiteList, m_blackList, m_aliasList, m_userMapping);
    refreshLocalUsers();
}

void Agent::refreshLocalUsers()
{
    m_window->setLocalUsers(LocalUsers::list());
}

// Profiles ------------------------------------------------------------------------------

void Agent::removeProfile(quint32 profileId)
{
    m_connection.notify("removeProfile", {profileId});
}

void Agent::enableSchedule(quint32 profileId, bool on)
{
    m_connection.notify("setScheduleEnabled", {profileId, on});
}

void Agent::setWhiteListOnlyEnabled(quint32 profileId, bool on)
{
    m_connection.notify("setWhiteListOnly", {profileId, on});
}

void Agent::setBlockUnknownEnabled(quint32 profileId, bool on)
{
    m_connection.notify("setBlockUnknownEnabled", {profileId, on});
}

void Agent::setSafeSearchEnabled(quint32 profileId, bool on)
{
    m_connection.notify("setSafeSearchEnabled", {profileId, on});
}

void Agent::setSafeYoutubeEnabled(quint32 profileId, bool on)
{
    m_connection.notify("setSafeYoutubeEnabled", {profileId, on});
}

// The new profile reaches the list with the service's next "setProfiles".
void Agent::addProfile(const QString &name)
{
    guardedCall("addProfile", {name}, PromptKind::Settings);
}

// Categories ------------------------------------------------------------------------------

void Agent::updateCategories()
{
    JsonRPCCall *call = m_connection.call("categories", {language()});
    connect(call, &Request::finished, this, [this, call] {
        CabinetCategoryGroupList groups;
        if (call->error().isError() || !groups.fromVariant(call->result())) {
            m_categories->requestFailed(0);
            if (m_tray && call->error().code() != CredentialsRefusedCode)
                m_tray->showError(displayName(), tr("Filtering settings aren't available right now"));
            return;
        }
        m_categories->setGroups(groups);
    });
}

void Agent::updateBlockedCategories(quint32 profileId)
{
    JsonRPCCall *call = m_connection.call("userFilter", {profileId});
    connect(call, &Request::finished, this, [this, call, profileId] {
        CabinetCategoryIdList ids;
        if (call->error().isError() || !ids.fromVariant(call->result())) {
            m_categories->requestFailed(profileId);
            showRequestError(call->error().isError() ? call->error().code() : 9);
            return;
        }
        CabinetUserFilter blocked;
        for (quint32 id : qAsConst(ids)) {
            if (id >= 1 && id <= 255)
                blocked.insert(quint8(id));
        }
        m_categories->setBlockedCategories(profileId, blocked);
    });
}

void Agent::blockCategory(quint32 profileId, quint32 categoryId, bool on)
{
    m_connection.notify("setFilterCat", {profileId, categoryId, on});
}

// Domain lists ----------------------------------------------------------------------------

void Agent::updateDomains(DomainListModel *model, quint32 profileId)
{
    const QString type = CabinetDomain::listTypeToString(model->listType());
    JsonRPCCall *call = m_connection.call("domains", {profileId, type});
    QPointer<DomainListModel> target(model);
    connect(call, &Request::finished, this, [this, call, target, profileId] {
        if (!target)
            return;
        if (call->error().isError()) {
            target->requestFailed(profileId);
            showRequestError(call->error().code());
            return;
        }
        // Entry by entry: one the service cannot have meant is left out, not the list.
        CabinetDomains domains;
        int dropped = 0;
        const QVariantList items = call->result().toList();
        for (const QVariant &item : items) {
            CabinetDomain entry;
            if (entry.fromVariant(item, target->listType()))
                domains << entry;
            else
                ++dropped;
        }
        if (dropped > 0)
            qCWarning(lcAgent, "%d entries of a domain list do not read and are left out", dropped);
        target->setList(profileId, domains);
    });
}

void Agent::addDomain(DomainListModel *model, uint profileId, const QString &domain, const QString &address)
{
    const CabinetDomain::Type type = model->listType();
    QList<QVariant> params = {profileId, CabinetDomain::listTypeToString(type), domain, address};
    QPointer<DomainListModel> target(model);
    Guard guard;
    guard.done = [this, target, profileId, domain, address, type](const ::Error &error, const QVariant &result) {
        if (error.isError()) {
            showRequestError(error.code());
            return;
        }
        bool ok = false;
        const quint32 id = result.toUInt(&ok);
        if (target && ok)
            target->addEntry(profileId, CabinetDomain(id, domain,
                                                      type == CabinetDomain::AliasList ? QHostAddress(address)
                                                                                       : QHostAddress()));
    };
    guardedCall("addDomain", params, PromptKind::Settings, guard);
}

void Agent::removeDomain(int type, quint32 profileId, quint32 entryId)
{
    m_connection.notify("removeDomain", {profileId, CabinetDomain::listTypeToString(type), entryId});
}

void Agent::updateWhiteList(quint32 profileId)
{
    updateDomains(m_whiteList, profileId);
}

// The address is an empty text, never a null one: that would travel as JSON null, which
// no text parameter of the service takes.
void Agent::addWhiteListDomain(uint profileId, const QString &domain)
{
    addDomain(m_whiteList, profileId, domain, QLatin1String(""));
}

void Agent::removeWhiteListDomain(quint32 profileId, quint32 entryId)
{
    removeDomain(CabinetDomain::WhiteList, profileId, entryId);
}

void Agent::updateBlackList(quint32 profileId)
{
    updateDomains(m_blackList, profileId);
}

void Agent::addBlackListDomain(uint profileId, const QString &domain)
{
    addDomain(m_blackList, profileId, domain, QLatin1String(""));
}

void Agent::removeBlackListDomain(quint32 profileId, quint32 entryId)
{
    removeDomain(CabinetDomain::BlackList, profileId, entryId);
}

void Agent::updateAliasList(quint32 profileId)
{
    updateDomains(m_aliasList, profileId);
}

void Agent::addAlias(uint profileId, const QString &domain, const QString &address)
{
    addDomain(m_aliasList, profileId, domain, address);
}

void Agent::removeAlias(quint32 profileId, quint32 entryId)
{
    removeDomain(CabinetDomain::AliasList, profileId, entryId);
}

// Local users and the schedule ------------------------------------------------------------

void Agent::enableUserProfileMapping(bool on)
{
    Guard guard;
    guard.refused = [this, on] { m_window->setUserProfileMappingEnabled(!on); };
    guard.apply = [this, on] { m_window->setUserProfileMappingEnabled(on); };
    guard.done = [this, on](const ::Error &error, const QVariant &) {
        if (!error.isError())
            m_userMappingEnabled = on;
        else
            showRequestError(error.code());
    };
    guardedCall("setLocalUserToProfileMappingStatus", {on}, PromptKind::Settings, guard);
}

void Agent::changeUserProfileMapping(const QVariantMap &map)
{
    guardedCall("UserToProfileMapFileWasUpdated", {map}, PromptKind::Settings);
}

void Agent::updateSchedule(quint32 profileId)
{
    JsonRPCCall *call = m_connection.call("schedule", {profileId});
    connect(call, &Request::finished, this, [this, call, profileId] {
        CabinetSchedule schedule;
        if (call->error().isError() || !schedule.fromVariant(call->result())) {
            showRequestError(call->error().isError() ? call->error().code() : 9);
            return;
        }
        if (m_window)
            m_window->setSchedule(profileId, schedule);
    });
}
