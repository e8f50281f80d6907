#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPair>
#include <QVariantMap>

// Which local user is bound to which profile: one row per user (column 0 the user name,
// column 1 the profile name, column 2 the remove icon), from the service's map.
//
// Removing rows or adding a pair changes the rows at once and emits mappingChanged() with
// the whole new map, which the service takes as a whole; its next "setUserToProfMap"
// replaces the rows.
class UserProfileMappingModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(UserProfileMappingModel)

public:
    enum Column { UserColumn = 0, ProfileColumn, RemoveColumn, ColumnCount };

    explicit UserProfileMappingModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Values are read as text; entries with an empty user name are skipped.
    void setMapping(const QVariantMap &map);
    QVariantMap mapping() const;
    // Needs both names non-empty and a user not in the map yet; false changes nothing.
    bool addMapping(const QString &user, const QString &profile);

Q_SIGNALS:
    void mappingChanged(const QVariantMap &map);

private:
    QList<QPair<QString, QString>> m_rows;
};
