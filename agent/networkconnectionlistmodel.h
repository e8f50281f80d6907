#pragma once

#include <QAbstractListModel>
#include <QList>

// The computer's network connections as the service reports them, with a check box each
// for their protection. Checking a row changes it at once and reports
// protectionStateChanged() with the adapter's identifier, by which the service knows it;
// the service's next "setNetworks" corrects the row if needed.
class NetworkConnectionListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY(NetworkConnectionListModel)

public:
    enum Role {
        NameRole = Qt::UserRole, // the connection's name, as the service knows it
        ProtectedRole,
        IdRole, // the adapter's identifier
    };
    Q_ENUM(Role)

    explicit NetworkConnectionListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Each item a map with "id", "name" and "protected"; items without a name are skipped.
    void setNetworks(const QVariantList &networks);
    // The connection of that identifier (or, from older services, that name).
    void setNetworkProtection(const QString &name, bool on);
    bool hasProtectedConnection() const;

Q_SIGNALS:
    void protectionStateChanged(const QString &name, bool on);

private:
    struct Connection
    {
        QString id;
        QString name;
        bool isProtected = false;
    };
    QList<Connection> m_connections;
};
