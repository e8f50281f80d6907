#pragma once

#include "cabinetdomain.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>

// One domain list (white, black or alias) of every profile the service told us about; the
// list of the chosen profile (the dynamic property "chosenProfile") is the one shown.
// Columns: 0 the domain, then for the alias list its address, last the remove icon.
//
// Lazy loading: while a profile is chosen whose list is not cached, canFetchMore() is true
// and fetchMore() emits listRequested() once; the request counts as running until the
// list arrives (setList()) or requestFailed() says it will not. A failed request is asked
// again only after retryFailed() (the page chosen again), not on every layout of the view.
//
// Removing rows drops them at once and reports each entry (domainRemoved(), for the alias
// list aliasRemoved()); nothing waits for the service.
class DomainListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(DomainListModel)
    Q_PROPERTY(uint chosenProfile READ chosenProfile WRITE setChosenProfile)

public:
    enum Role {
        IdRole = Qt::UserRole, // the entry's id
        DomainRole,
        AddressRole,
    };
    Q_ENUM(Role)

    explicit DomainListModel(CabinetDomain::Type type, QObject *parent = nullptr);

    CabinetDomain::Type listType() const { return m_type; }
    int removeColumn() const { return m_type == CabinetDomain::AliasList ? 2 : 1; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    uint chosenProfile() const { return m_chosenProfile; }
    void setChosenProfile(uint profileId);

    void setList(quint32 profileId, const CabinetDomains &domains);
    bool hasList(quint32 profileId) const { return m_lists.contains(profileId); }
    CabinetDomains list(quint32 profileId) const { return m_lists.value(profileId); }
    // A new entry the service confirmed; added only to a list already cached (an uncached
    // one is fetched whole when shown) and only once.
    void addEntry(quint32 profileId, const CabinetDomain &entry);
    void requestFailed(quint32 profileId);
    void retryFailed() { m_failed.clear(); }
    // Forgets every cached list, so that each is fetched again when next shown.
    void clear();

Q_SIGNALS:
    void listRequested(quint32 profileId);
    void domainRemoved(quint32 profileId, quint32 entryId);

protected:
    virtual void emitRemoved(quint32 profileId, quint32 entryId);

private:
    CabinetDomain::Type m_type;
    QHash<quint32, CabinetDomains> m_lists;
    QSet<quint32> m_requested;
    QSet<quint32> m_failed;
    uint m_chosenProfile = 0;
};

// The alias list: domains that resolve to an address of the account's choosing.
class AliasListModel : public DomainListModel
{
    Q_OBJECT
    Q_DISABLE_COPY(AliasListModel)

public:
    explicit AliasListModel(QObject *parent = nullptr)
        : DomainListModel(CabinetDomain::AliasList, parent)
    {
    }

Q_SIGNALS:
    void aliasRemoved(quint32 profileId, quint32 entryId);

protected:
    void emitRemoved(quint32 profileId, quint32 entryId) override { Q_EMIT aliasRemoved(profileId, entryId); }
};
