#pragma once

#include "cabinetcategory.h"
#include "cabinetuserfilter.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>

// The site categories in their groups, and per profile the set of blocked categories.
// Top-level rows are the groups; under each the categories lie two per row (the category
// at row * 2 + column). The blocked set shown is that of the dynamic property
// "chosenProfile".
//
// Items are enabled only while "editable" is true (the page sets it false while the
// profile uses the white list only). Checking a category, or a group for all of its
// categories, changes the set at once and emits categoryBlocked() for every category that
// changed; nothing waits for the service, whose next "setUserFilter" corrects the view.
//
// Lazy loading: while a profile is chosen and the groups or its set are missing,
// canFetchMore() is true and fetchMore() asks for them (categoriesRequested(), blockedCategoriesRequested())
// once; the request counts as running until its data arrives or requestFailed() says it
// will not. A failed request is not repeated by the view's own layouts (each would show
// the failure again); only retryFailed(), when the page is chosen again, allows it.
class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
    Q_DISABLE_COPY(CategoryTreeModel)
    Q_PROPERTY(uint chosenProfile READ chosenProfile WRITE setChosenProfile)
    Q_PROPERTY(bool editable READ isEditable WRITE setEditable)

public:
    enum Role {
        CategoryIdRole = Qt::UserRole,
    };
    Q_ENUM(Role)

    // The font of the group rows, with the system's own as fallback where it is missing.
    static const char *const GroupFontFamily; // "Segoe UI"
    static constexpr int GroupFontPointSize = 13;

    explicit CategoryTreeModel(QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    void setGroups(const CabinetCategoryGroupList &groups);
    bool hasGroups() const { return m_groupsLoaded; }
    void setBlockedCategories(quint32 profileId, const CabinetUserFilter &blocked);
    bool hasBlockedCategories(quint32 profileId) const { return m_blocked.contains(profileId); }
    CabinetUserFilter blockedCategories(quint32 profileId) const { return m_blocked.value(profileId); }
    // The categories (profileId 0) or a profile's set will not come.
    void requestFailed(quint32 profileId);
    void retryFailed();

    uint chosenProfile() const { return m_chosenProfile; }
    void setChosenProfile(uint profileId);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);

Q_SIGNALS:
    void categoriesRequested();
    void blockedCategoriesRequested(quint32 profileId);
    void categoryBlocked(quint32 profileId, quint32 categoryId, bool blocked);

private:
    // internalId of a category cell: its group's row + 1; 0 marks a group.
    const CabinetCategory *category(const QModelIndex &index) const;
    Qt::CheckState groupState(int group) const;
    bool setBlocked(const CabinetCategory &category, bool blocked);
    void groupChanged(int group);

    CabinetCategoryGroupList m_groups;
    QHash<quint32, CabinetUserFilter> m_blocked;
    QSet<quint32> m_blockedRequested;
    bool m_groupsLoaded = false;
    bool m_groupsRequested = false;
    bool m_groupsFailed = false;
    QSet<quint32> m_blockedFailed;
    uint m_chosenProfile = 0;
    bool m_editable = true;
};
