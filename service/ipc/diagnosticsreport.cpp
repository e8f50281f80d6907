#include "diagnosticsreport.h"

#include <QTextCodec>

namespace DiagnosticsReport {

QString head(const DiagnosticsSnapshot &snapshot, const Checks &checks)
{
    QString text = QStringLiteral("Local DNS: %1:%2\n").arg(snapshot.localProxyAddress.toString()).arg(snapshot.localProxyPort);
    text += checks.adapters.text + checks.gateway.text + checks.userProxy.text + checks.transparentProxy.text
            + checks.probe.text;
    text += identification(snapshot, checks.probe, checks.view);
    QStringList profiles;
    for (const CabinetProfile &profile : snapshot.profiles)
        profiles.append(profile.toString());
    text += QStringLiteral("Profiles: %1\n").arg(profiles.join(QStringLiteral("\n ")));
    return text;
}

QString identification(const DiagnosticsSnapshot &snapshot, const CheckResult &probe, const ProbeView &view)
{
    if (!probe.passed)
        return QStringLiteral("An error occurred during the test, \"Black Address\":%1\n").arg(probe.text);
    const QString &host = snapshot.probeHost;
    QString text;
    if (snapshot.identificationType == DiagnosticsSource::TokenIdentification) {
        text += QStringLiteral("Identification type is Token\n");
        if (view.token != QLatin1String("None")) {
            const QString agent = QString::number(snapshot.agentToken);
            text += host
                    + (view.token == agent ? QStringLiteral(".token:%1 = agent.token:%2\n")
                                           : QStringLiteral(".token:%1 != agent.token:%2\n"))
                              .arg(view.token, agent);
        }
    } else {
        text += QStringLiteral("Identification type is Ipident\n");
        text += host + QStringLiteral(".ip:%1 nic.ip:%2\n").arg(view.ip, snapshot.publicAddress.toString());
    }
    if (snapshot.accountState == DiagnosticsSource::AccountConnected) {
        text += QStringLiteral("agent.currentProfileId:%1 agent.selectedProfileId:%2\n")
                        .arg(snapshot.currentProfileId)
                        .arg(snapshot.selectedProfileId);
        text += host + QStringLiteral(".ProfileId:%1\n").arg(view.profile);
    }
    return text;
}

QString backendSection(const DiagnosticsSnapshot &snapshot)
{
    QString text = QStringLiteral("\nAdapter DNS control: backend %1, because %2\n")
                           .arg(snapshot.backendName, snapshot.backendReason);
    const VerificationVerdict &verdict = snapshot.verification;
    if (!verdict.isValid())
        return text + QStringLiteral("Last verification: none yet\n");
    return text
            + QStringLiteral("Last verification: %1 %2 (backend %3): %4\n")
                      .arg(verdict.time.toUTC().toString(Qt::ISODate),
                           verdict.passed ? QStringLiteral("passed") : QStringLiteral("failed"), verdict.backend,
                           verdict.result);
}

QString toolSection(const QString &heading, const QString &output)
{
    return QStringLiteral("\n> %1\n").arg(heading) + output;
}

QString decodeOutput(const QByteArray &bytes, const QByteArray &codecName)
{
    QTextCodec *codec = codecName.isEmpty() ? nullptr : QTextCodec::codecForName(codecName);
    if (codec)
        return codec->toUnicode(bytes);
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

QByteArray cutSecrets(QByteArray bytes, const QList<QByteArray> &secrets)
{
    const QByteArray marker = CutMarker.toUtf8();
    for (const QByteArray &secret : secrets) {
        if (!secret.isEmpty())
            bytes.replace(secret, marker);
    }
    return bytes;
}

QString cutSecrets(QString text, const QList<QByteArray> &secrets)
{
    for (const QByteArray &secret : secrets) {
        const QString form = QString::fromUtf8(secret);
        // A binary secret has no text form; its bytes were cut from the raw output.
        if (!form.isEmpty() && form.toUtf8() == secret)
            text.replace(form, CutMarker);
    }
    return text;
}

} // namespace DiagnosticsReport
