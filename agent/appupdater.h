#pragma once

#include "versionfile.h"

#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkConfigurationManager;
class QNetworkReply;
class QNetworkRequest;
class QTemporaryFile;
class QWidget;
class UpdateDialog;
class UpdatePlatform;

// Finds out whether a newer version of the agent exists, offers it in an UpdateDialog,
// downloads the installer (the project's Debian package) into a temporary file, moves it
// to its target name and opens it.
//
// The update location (the setting "update-location", by default the reference account
// service's download folder) holds "en-generic-agent.version" and
// "en-generic-agent.deb". Certificates are checked: besides the system's CAs, those of the
// PEM file named by "update-ca-file" are trusted. An address that is neither https nor
// http on a loopback address is never fetched, and no download is offered from one: an
// update channel that anyone on the path can serve would hand them the computer.
//
// check() ends with checkFinished(), whatever happened; errorText() says what went wrong.
// download() ends with finished(); after a failure installerFileName() is empty and
// errorText() says why. Where the program came from a package repository, the dialog
// says that the update comes through the system's software updates and offers no download.
class AppUpdater : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(AppUpdater)

public:
    static constexpr qint64 MaximumInstallerBytes = 512 * 1024 * 1024;
    static const char *const CurrentVersion;    // "3.2.1.3"
    static const char *const VersionFileName;   // "en-generic-agent.version"
    static const char *const InstallerFileName; // "en-generic-agent.deb"

    explicit AppUpdater(QObject *parent = nullptr);
    ~AppUpdater() override;

    // Replaces the system's platform (tests); takes ownership.
    void setPlatform(UpdatePlatform *platform);

    bool checksEnabled() const { return m_checksEnabled; }
    // True when the last check found a newer version.
    bool hasNewVersion() const { return !m_offeredVersion.isEmpty(); }
    QString offeredVersion() const { return m_offeredVersion; }
    QString details() const { return m_details; }
    QString errorText() const { return m_errorText; }
    QString displayName() const;
    QUrl versionFileUrl() const;
    QUrl downloadUrl() const { return m_downloadUrl; }
    QString installerFileName() const { return m_fileName; }
    bool isFromRepository() const { return m_fromRepository; }
    UpdateDialog *dialog() const;
    // Where the downloaded installer goes: the user's runtime directory, else the
    // temporary one, followed by "/en-generic-agent.deb".
    static QString installerTarget();
    // https, or http to a loopback address (the reference stand-ins).
    static bool isSecureUrl(const QUrl &url);

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
    // The user's choice in the dialog: sets it and emits checkEnabled().
    void changeChecksEnabled(bool enabled);
    void download();
    void cancelDownload();

private Q_SLOTS:
    void reply_versionCheckFinished();
    void reply_downloadProgress();
    void reply_metaDataCahnged();
    void reply_downloadFinished();
    void newVersionDownloadFinished();
    void platform_installOriginKnown(bool fromRepository);

private:
    QNetworkAccessManager *networkAccessManager();
    QNetworkRequest request(const QUrl &url) const;
    QList<QSslCertificate> extraCaCertificates();
    void finishCheck(const QString &error);
    void showDialog();
    void appendAvailable(QNetworkReply *reply);
    void failDownload(const QString &error);
    static QString replyError(QNetworkReply *reply);

    QNetworkAccessManager *m_nam = nullptr;
    QNetworkConfigurationManager *m_configurations = nullptr;
    std::unique_ptr<UpdatePlatform> m_platform;
    QString m_offeredVersion;
    QString m_details;
    QString m_errorText;
    QString m_fileName;
    QUrl m_downloadUrl;
    QPointer<QNetworkReply> m_checkReply;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QTemporaryFile> m_file;
    qint64 m_received = 0;
    QPointer<UpdateDialog> m_dialog;
    QPointer<QWidget> m_dialogParent;
    bool m_checksEnabled = true;
    bool m_fromRepository = false;
    bool m_waitingForOrigin = false;
    QString m_caFileStamp;
    QList<QSslCertificate> m_caCertificates;
};
