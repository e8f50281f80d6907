#include "diagnosticssource.h"

#include "configuration.h"
#include "protection.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

const QString MyIpPath = QStringLiteral("/nic/myip");
// The machine key is 32 bytes; anything much longer is not the key and not worth reading.
constexpr qint64 MaximumKeyBytes = 64;

QByteArray readMachineKey()
{
    QFile file(Protection::machineKeyPath());
    // Never created here: a report must not be the reason a key comes into being.
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(MaximumKeyBytes);
}

} // namespace

DiagnosticsSource::~DiagnosticsSource() = default;

QString DiagnosticsSource::probeHost() const
{
    return QSettings()
            .value(Configuration::Key::DiagnosticsProbeHost, Configuration::DefaultDiagnosticsProbeHost)
            .toString();
}

QUrl DiagnosticsSource::myIpUrl(bool https) const
{
    const QString site = https
            ? QSettings().value(Configuration::Key::DiagnosticsMyIpHttpsSite,
                                Configuration::DefaultDiagnosticsMyIpHttpsSite).toString()
            : QSettings().value(Configuration::Key::DiagnosticsMyIpHttpSite,
                                Configuration::DefaultDiagnosticsMyIpHttpSite).toString();
    QString base = site;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + MyIpPath);
}

QString DiagnosticsSource::trustedCaFile() const
{
    return QSettings().value(Configuration::Key::AccountSiteCaFile).toString();
}

DiagnosticsSnapshot DiagnosticsSnapshot::take(const DiagnosticsSource &source)
{
    DiagnosticsSnapshot snapshot;
    snapshot.localProxyAddress = source.localProxyAddress();
    snapshot.localProxyPort = source.localProxyPort();
    snapshot.identificationType = source.identificationType();
    snapshot.agentToken = source.agentToken();
    snapshot.accountState = source.accountState();
    const CabinetProfiles profiles = source.profiles();
    for (const QSharedPointer<CabinetProfile> &profile : profiles) {
        if (profile)
            snapshot.profiles.append(*profile);
    }
    std::sort(snapshot.profiles.begin(), snapshot.profiles.end(),
              [](const CabinetProfile &a, const CabinetProfile &b) { return a.id() < b.id(); });
    snapshot.currentProfileId = source.currentProfileId();
    snapshot.selectedProfileId = source.selectedProfileId();
    snapshot.publicAddress = source.publicAddress();
    snapshot.adaptersKnown = source.adapters(&snapshot.adapters);
    snapshot.backendName = source.dnsBackendName();
    snapshot.backendReason = source.dnsBackendReason();
    snapshot.verification = source.lastVerification();
    snapshot.probeHost = source.probeHost();
    snapshot.myIpHttp = source.myIpUrl(false);
    snapshot.myIpHttps = source.myIpUrl(true);
    snapshot.caFile = source.trustedCaFile();
    snapshot.secrets = secretForms(source.accountUser(), source.accountPassword(), readMachineKey());
    return snapshot;
}

QList<QByteArray> DiagnosticsSnapshot::secretForms(const QString &user, const QString &password,
                                                   const QByteArray &machineKey)
{
    QList<QByteArray> forms;
    if (!password.isEmpty()) {
        forms << password.toUtf8()
              << (user + QLatin1Char(':') + password).toUtf8().toBase64()
              << QUrl::toPercentEncoding(password);
    }
    if (!machineKey.isEmpty()) {
        forms << machineKey << machineKey.toHex() << machineKey.toHex().toUpper() << machineKey.toBase64()
              << machineKey.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    }
    // Longest first, so that a form that contains another is cut whole.
    std::sort(forms.begin(), forms.end(), [](const QByteArray &a, const QByteArray &b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
    forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
    return forms;
}
