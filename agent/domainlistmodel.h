#pragma once

#include "cabinetdomain.h"

#include <QAbstractTableModel>
#include <QHash>

// One domain list (white, black or alias) of every profile the service told us about; the
// list of the chosen profile (the dynamic property "chosenProfile") is the one shown.
// Column 0 is the domain; the alias list adds its address in column 1.
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

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    uint chosenProfile() const { return m_chosenProfile; }
    void setChosenProfile(uint profileId);

    void setList(quint32 profileId, const CabinetDomains &domains);
    bool hasList(quint32 profileId) const { return m_lists.contains(profileId); }
    CabinetDomains list(quint32 profileId) const { return m_lists.value(profileId); }
    // Forgets every cached list, so that each is fetched again when next shown.
    void clear();

private:
    CabinetDomain::Type m_type;
    QHash<quint32, CabinetDomains> m_lists;
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
};
