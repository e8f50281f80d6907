#pragma once

#include <QObject>
#include <QString>

class QNetworkReply;

// Finds out whether a newer version of the agent exists and offers it.
//
// Not built yet: this version only has the interface that Agent uses. check() finds
// nothing, sets errorText() to say that update checks are not available, and emits
// checkFinished() on the next pass of the event loop; download() and cancelDownload() do
// nothing.
class AppUpdater : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(AppUpdater)

public:
    explicit AppUpdater(QObject *parent = nullptr);

    bool checksEnabled() const { return m_checksEnabled; }
    // True when the last check found a newer version.
    bool hasNewVersion() const { return !m_offeredVersion.isEmpty(); }
    QString offeredVersion() const { return m_offeredVersion; }
    QString errorText() const { return m_errorText; }

Q_SIGNALS:
    void checkEnabled(bool enabled);
    void checkFinished();
    void detailsChanged();
    void downloadStarted(QNetworkReply *reply);
    void fileNameChanged();
    void finished();

public Q_SLOTS:
    void check(bool isOnline);
    void check();
    void setChecksEnabled(bool enabled);
    void download();
    void cancelDownload();

private:
    bool m_checksEnabled = true;
    QString m_offeredVersion;
    QString m_errorText;
};
