#include "appupdater.h"

#include "agentsettings.h"
#include "sysinfo.h"
#include "updatedialog.h"
#include "updateplatform.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkConfigurationManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSettings>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTemporaryFile>

Q_LOGGING_CATEGORY(lcAppUpdater, "corvane.agent.updater")

const char *const AppUpdater::CurrentVersion = "3.2.1.3";
const char *const AppUpdater::VersionFileName = "en-generic-agent.version";
const char *const AppUpdater::InstallerFileName = "en-generic-agent.deb";

namespace {

constexpr qint64 MaximumCaFileBytes = 1024 * 1024;

bool isLoopback(const QUrl &url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// A file name from Content-Disposition is only shown: no folders, no control characters,
// not longer than a line.
QString displayFileName(const QString &name)
{
    QString base = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    base = base.mid(base.lastIndexOf(QLatin1Char('\\')) + 1);
    base.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
    return base.left(128);
}

} // namespace

AppUpdater::AppUpdater(QObject *parent)
    : QObject(parent)
{
    connect(this, &AppUpdater::finished, this, &AppUpdater::newVersionDownloadFinished);
}

// The temporary file and the dialog go first; the replies belong to the access manager.
AppUpdater::~AppUpdater()
{
    delete m_dialog;
    m_file.reset();
}

void AppUpdater::setPlatform(UpdatePlatform *platform)
{
    m_platform.reset(platform);
    platform->setParent(nullptr);
    connect(platform, &UpdatePlatform::installOriginKnown, this, &AppUpdater::platform_installOriginKnown);
}

UpdateDialog *AppUpdater::dialog() const
{
    return m_dialog;
}

QString AppUpdater::displayName() const
{
    return tr("%1 Agent").arg(QStringLiteral("Corvane"));
}

QUrl AppUpdater::versionFileUrl() const
{
    QString location = QSettings().value(AgentSettings::UpdateLocationKey, AgentSettings::DefaultUpdateLocation).toString();
    while (location.endsWith(QLatin1Char('/')))
        location.chop(1);
    return QUrl(location + QLatin1Char('/') + QLatin1String(VersionFileName), QUrl::StrictMode);
}

bool AppUpdater::isSecureUrl(const QUrl &url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("https") || (scheme == QLatin1String("http") && isLoopback(url));
}

QString AppUpdater::installerTarget()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + QLatin1String(InstallerFileName);
}

QNetworkAccessManager *AppUpdater::networkAccessManager()
{
    if (!m_nam)
        m_nam = new QNetworkAccessManager(this);
    return m_nam;
}

// The certificates of "update-ca-file", read again when its name, size or time changes.
QList<QSslCertificate> AppUpdater::extraCaCertificates()
{
    const QString path = QSettings().value(AgentSettings::UpdateCaFileKey).toString();
    const QFileInfo info(path);
    const QString stamp = path + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|')
        + QString::number(info.lastModified().toMSecsSinceEpoch());
    if (stamp == m_caFileStamp)
        return m_caCertificates;
    m_caFileStamp = stamp;
    m_caCertificates.clear();
    if (path.isEmpty())
        return m_caCertificates;
    QFile file(path);
    if (info.size() > MaximumCaFileBytes || !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcAppUpdater, "update-ca-file %s cannot be read; only the system's certificates are trusted",
                  qPrintable(path));
        return m_caCertificates;
    }
    m_caCertificates = QSslCertificate::fromData(file.read(MaximumCaFileBytes), QSsl::Pem);
    if (m_caCertificates.isEmpty())
        qCWarning(lcAppUpdater, "update-ca-file %s holds no certificate; only the system's certificates are trusted",
                  qPrintable(path));
    return m_caCertificates;
}

QNetworkRequest AppUpdater::request(const QUrl &url) const
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("User-Agent", SysInfo::userAgent());
    // Redirects are followed only where they keep https.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> extra = const_cast<AppUpdater *>(this)->extraCaCertificates();
    if (!extra.isEmpty())
        tls.addCaCertificates(extra);
    request.setSslConfiguration(tls);
    return request;
}

QString AppUpdater::replyError(QNetworkReply *reply)
{
    if (reply->error() != QNetworkReply::NoError)
        return reply->errorString();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200)
        return tr("The update location answered with HTTP status %1").arg(status);
    if (!isSecureUrl(reply->url()))
        return tr("The address %1 is not secure: updates come only from https addresses")
            .arg(reply->url().toDisplayString());
    return QString();
}

// Check ------------------------------------------------------------------------------------

void AppUpdater::check(bool isOnline)
{
    if (isOnline)
        check();
}

void AppUpdater::check()
{
    const QUrl url = versionFileUrl();
    if (!isSecureUrl(url)) {
        m_offeredVersion.clear();
        finishCheck(tr("The address %1 is not secure: updates come only from https addresses").arg(url.toDisplayString()));
        return;
    }
    // The reference stand-ins on this computer are reachable offline. Qt 5 has no other
    // way to learn of the network coming back than its deprecated configuration manager.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    if (!isLoopback(url)) {
        if (!m_configurations)
            m_configurations = new QNetworkConfigurationManager(this);
        if (!m_configurations->isOnline()) {
            connect(m_configurations, &QNetworkConfigurationManager::onlineStateChanged, this,
                    qOverload<bool>(&AppUpdater::check), Qt::UniqueConnection);
            return;
        }
        disconnect(m_configurations, &QNetworkConfigurationManager::onlineStateChanged, this,
                   qOverload<bool>(&AppUpdater::check));
    }
    QT_WARNING_POP
    if (m_checkReply || m_waitingForOrigin)
        return; // the running check answers this one too
    m_offeredVersion.clear();
    m_errorText.clear();
    m_checkReply = networkAccessManager()->get(request(url));
    QNetworkReply *reply = m_checkReply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received) {
        if (received > VersionFile::MaximumBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, &AppUpdater::reply_versionCheckFinished);
}

void AppUpdater::finishCheck(const QString &error)
{
    m_errorText = error;
    if (!error.isEmpty())
        qCInfo(lcAppUpdater, "update check: %s", qPrintable(error));
    Q_EMIT checkFinished();
}

void AppUpdater::reply_versionCheckFinished()
{
    QNetworkReply *reply = m_checkReply;
    m_checkReply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    const QString error = replyError(reply);
    if (!error.isEmpty()) {
        finishCheck(error);
        return;
    }
    const VersionFile::Offer offer = VersionFile::parse(reply->read(VersionFile::MaximumBytes), QLatin1String(CurrentVersion));
    if (!offer.newer) {
        finishCheck(QString());
        return;
    }
    m_details = offer.details;
    Q_EMIT detailsChanged();
    QUrl installer = versionFileUrl();
    installer.setPath(installer.path().section(QLatin1Char('/'), 0, -2) + QLatin1Char('/') + QLatin1String(InstallerFileName));
    const QUrl url = offer.hasDownloadUrl ? offer.downloadUrl : installer;
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) {
        finishCheck(tr("Invalid download url"));
        return;
    }
    if (!isSecureUrl(url)) {
        finishCheck(tr("The address %1 is not secure: updates come only from https addresses").arg(url.toDisplayString()));
        return;
    }
    m_downloadUrl = url;
    m_fileName = displayFileName(url.fileName());
    m_offeredVersion = offer.version;
    if (!m_platform)
        setPlatform(UpdatePlatform::create(nullptr));
    m_waitingForOrigin = true;
    m_platform->queryInstallOrigin();
}

void AppUpdater::platform_installOriginKnown(bool fromRepository)
{
    if (!m_waitingForOrigin)
        return;
    m_waitingForOrigin = false;
    m_fromRepository = fromRepository;
    m_errorText.clear();
    showDialog();
    Q_EMIT checkFinished();
}

void AppUpdater::showDialog()
{
    // One offer at a time: an earlier dialog gives way to the new one.
    delete m_dialog;
    if (QWidget *active = QApplication::activeWindow())
        m_dialogParent = active;
    m_dialog = new UpdateDialog(this, m_dialogParent);
    connect(m_dialog, &UpdateDialog::downloadAccepted, this, &AppUpdater::download);
    connect(m_dialog, &UpdateDialog::cancelDownload, this, &AppUpdater::cancelDownload);
    m_dialog->show();
}

void AppUpdater::setChecksEnabled(bool enabled)
{
    m_checksEnabled = enabled;
}

void AppUpdater::changeChecksEnabled(bool enabled)
{
    m_checksEnabled = enabled;
    Q_EMIT checkEnabled(enabled);
}

// Download ---------------------------------------------------------------------------------

void AppUpdater::download()
{
    if (m_reply || m_fromRepository || !m_downloadUrl.isValid())
        return;
    m_file.reset();
    m_received = 0;
    m_errorText.clear();
    auto file = std::make_unique<QTemporaryFile>(QFileInfo(installerTarget()).absolutePath()
                                                 + QStringLiteral("/en-generic-agent-XXXXXX.part"));
    if (!file->open()) {
        m_errorText = file->errorString();
        m_fileName.clear();
        Q_EMIT finished();
        return;
    }
    m_file = std::move(file);
    m_fileName = displayFileName(m_downloadUrl.fileName());
    m_reply = networkAccessManager()->get(request(m_downloadUrl));
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &AppUpdater::reply_metaDataCahnged);
    connect(m_reply, &QNetworkReply::readyRead, this, &AppUpdater::reply_downloadProgress);
    connect(m_reply, &QNetworkReply::finished, this, &AppUpdater::reply_downloadFinished);
    Q_EMIT downloadStarted(m_reply);
}

void AppUpdater::cancelDownload()
{
    if (m_reply)
        m_reply->abort();
}

void AppUpdater::reply_metaDataCahnged()
{
    if (!m_reply)
        return;
    static const QRegularExpression filename(QStringLiteral("filename=\"?([^\";]+)\"?"));
    const QString disposition = QString::fromLatin1(m_reply->rawHeader("Content-Disposition"));
    const QRegularExpressionMatch match = filename.match(disposition);
    const QString name = match.hasMatch() ? displayFileName(match.captured(1).trimmed()) : QString();
    if (!name.isEmpty() && name != m_fileName) {
        m_fileName = name;
        Q_EMIT fileNameChanged();
    }
}

void AppUpdater::reply_downloadProgress()
{
    if (m_reply)
        appendAvailable(m_reply);
}

void AppUpdater::appendAvailable(QNetworkReply *reply)
{
    if (!m_file || !m_errorText.isEmpty())
        return;
    const QByteArray bytes = reply->readAll();
    m_received += bytes.size();
    if (m_received > MaximumInstallerBytes || m_file->write(bytes) != bytes.size()) {
        // finished() follows the abort; the size or the file's error says why.
        m_errorText = m_received > MaximumInstallerBytes
            ? tr("The installer is larger than %1 MiB").arg(MaximumInstallerBytes / (1024 * 1024))
            : m_file->errorString();
        reply->abort();
    }
}

void AppUpdater::reply_downloadFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    appendAvailable(reply);
    QString error = !m_errorText.isEmpty() ? m_errorText : replyError(reply);
    if (error.isEmpty() && !m_file->flush())
        error = m_file->errorString();
    if (!error.isEmpty()) {
        failDownload(error);
        return;
    }
    Q_EMIT finished();
}

void AppUpdater::failDownload(const QString &error)
{
    qCWarning(lcAppUpdater, "download of %s failed: %s", qPrintable(m_downloadUrl.toDisplayString()), qPrintable(error));
    m_errorText = error;
    m_file.reset(); // removes the temporary file
    m_fileName.clear();
    Q_EMIT finished();
}

// Installing -------------------------------------------------------------------------------

void AppUpdater::newVersionDownloadFinished()
{
    if (!m_file) {
        qCWarning(lcAppUpdater, "Download failed? tmp filename is empty");
        return;
    }
    m_file->close();
    m_file->setAutoRemove(false);
    const QString temporary = m_file->fileName();
    m_file.reset();
    const QString target = installerTarget();
    const QFileInfo existing(target);
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(target)) {
        qCWarning(lcAppUpdater, "Failed to remove old installer");
        QFile::remove(temporary);
        return;
    }
    // A name planted between the removal and here makes the rename fail; it never follows
    // a link.
    if (!QFile::rename(temporary, target)) {
        qCWarning(lcAppUpdater, "Failed to rename %s to %s", qPrintable(temporary), qPrintable(target));
        QFile::remove(temporary);
        return;
    }
    if (!m_platform)
        setPlatform(UpdatePlatform::create(nullptr));
    m_platform->openInstaller(target);
}
