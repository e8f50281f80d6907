#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPair>
#include <QVariantMap>

// Which local user is bound to which profile: one row per user (column 0 the user name,
// column 1 the profile name, column 2 the remove icon), from the service's map.
class UserProfileMappingModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(UserProfileMappingModel)

public:
    explicit UserProfileMappingModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Values are read as text; entries with an empty user name are skipped.
    void setMapping(const QVariantMap &map);
    QVariantMap mapping() const;

Q_SIGNALS:
    void mappingChanged(const QVariantMap &map);

private:
    QList<QPair<QString, QString>> m_rows;
};
