#pragma once

#include "cabinetprofile.h"

#include <QAbstractTableModel>

// The account's profiles in the order the service sent them, with the active row (the
// profile that identifies this computer). The active row changes only when the service
// says so; a user's choice is reported as profileSelected() and waits for that.
//
// Columns: 0 name with check mark, 1 the word "Active" on the active row, 2 configure,
// 3 remove (absent on the default profile).
//
// Edits are reported, not confirmed: a flag set through setData() (roles 260 to 264)
// changes the row at once and emits the matching signal; removeRows() drops the rows at
// once and emits profileRemoved() for each. The service's next "setProfiles" corrects
// whatever it did not take.
class ProfileListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(ProfileListModel)

public:
    enum Column { NameColumn = 0, ActiveColumn, ConfigureColumn, RemoveColumn, ColumnCount };
    enum Role {
        ActiveRole = Qt::UserRole, // 256
        NameRole,                  // 257
        IdRole,                    // 258
        DefaultRole,               // 259
        ScheduleEnabledRole,       // 260
        WhiteListOnlyRole,         // 261
        BlockUnknownRole,          // 262
        SafeSearchRole,            // 263
        SafeYoutubeRole,           // 264
    };
    Q_ENUM(Role)

    explicit ProfileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // The default profile cannot be removed: a range that holds it removes nothing.
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    void setProfiles(const CabinetProfileList &profiles, quint32 activeId);
    void setActiveProfile(quint32 id);
    void clear();

    // -1 when no row is active.
    int activeRow() const { return m_activeRow; }
    QString activeProfileName() const;
    int rowOf(quint32 id) const;

Q_SIGNALS:
    void profileSelected(quint32 id);
    void profileRemoved(quint32 id);
    void scheduleEnabled(quint32 id, bool on);
    void whiteListOnlyEnabled(quint32 id, bool on);
    void blockUnknownEnabled(quint32 id, bool on);
    void safeSearchEnabled(quint32 id, bool on);
    void safeYoutubeEnabled(quint32 id, bool on);
    void activeProfileChanged();

private:
    bool setFlag(int row, int role, bool on);

    CabinetProfileList m_profiles;
    int m_activeRow = -1;
};
