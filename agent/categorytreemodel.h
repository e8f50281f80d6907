#pragma once

#include "cabinetcategory.h"
#include "cabinetuserfilter.h"

#include <QAbstractItemModel>
#include <QHash>

// The site categories in their groups, and per profile the set of blocked categories.
// Top-level rows are the groups; under each the categories lie two per row (the category
// at row * 2 + column). The blocked set shown is that of the dynamic property
// "chosenProfile".
class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
    Q_DISABLE_COPY(CategoryTreeModel)
    Q_PROPERTY(uint chosenProfile READ chosenProfile WRITE setChosenProfile)

public:
    enum Role {
        CategoryIdRole = Qt::UserRole,
    };
    Q_ENUM(Role)

    explicit CategoryTreeModel(QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setGroups(const CabinetCategoryGroupList &groups);
    void setBlockedCategories(quint32 profileId, const CabinetUserFilter &blocked);
    CabinetUserFilter blockedCategories(quint32 profileId) const { return m_blocked.value(profileId); }

    uint chosenProfile() const { return m_chosenProfile; }
    void setChosenProfile(uint profileId);

private:
    // internalId of a category cell: its group's row + 1; 0 marks a group.
    const CabinetCategory *category(const QModelIndex &index) const;
    Qt::CheckState groupState(int group) const;

    CabinetCategoryGroupList m_groups;
    QHash<quint32, CabinetUserFilter> m_blocked;
    uint m_chosenProfile = 0;
};
