// Agent's support report: the lines the client knows itself, followed by the service's
// diagnostics report ("systemInfo", at most one call at a time, 120 s at most), shown in
// a SystemInformationDialog.

#include "agent.h"

#include "jsonrpccall.h"
#include "messagedialog.h"
#include "systeminformation.h"
#include "systeminformationdialog.h"
#include "window.h"

#include <QCoreApplication>

void Agent::requestSystemInformation()
{
    querySoftware();
    if (m_state == State::Unconnected || m_state == State::Initial) {
        // Nothing to wait for: the report is the client's part alone.
        m_localReportWanted = true;
        showSystemInformationIfReady();
        return;
    }
    if (!m_systemInfoCall) {
        m_serviceReportWanted = true;
        m_serviceReport.clear();
        m_systemInfoCall = m_connection.call("systemInfo");
        m_systemInfoCall->setTimeout(SystemInfoTimeout);
        connect(m_systemInfoCall, &Request::finished, this, &Agent::systemInfo_finished);
    }
    auto *wait = new MessageDialog(tr("Collecting information is in progress. This can take up to 2 minutes."),
                                   m_window);
    m_waitDialogs << wait;
    wait->show();
}

// The installed software is asked again for every report; a query still running answers
// the new report too.
void Agent::querySoftware()
{
    if (m_softwareQueryRunning)
        return;
    m_softwareKnown = false;
    m_softwareQueryRunning = true;
    m_software->query();
}

void Agent::software_ready(const QList<InstalledSoftware::Package> &packages)
{
    m_softwareQueryRunning = false;
    m_softwareKnown = true;
    m_softwareList = packages;
    showSystemInformationIfReady();
}

void Agent::systemInfo_finished()
{
    auto *call = qobject_cast<JsonRPCCall *>(sender());
    const QVariant result = call ? call->result() : QVariant();
    const bool ok = call && !call->error().isError() && result.userType() == QMetaType::QString;
    m_serviceReport = ok ? result.toString() : QStringLiteral("Service couldn't collect system information");
    m_systemInfoCall = nullptr;
    showSystemInformationIfReady();
}

QStringList Agent::systemInformationLines() const
{
    SystemInformation::ClientState client;
    client.displayName = displayName();
    client.version = QCoreApplication::applicationVersion();
    client.connected = m_state != State::Unconnected && m_state != State::Initial;
    client.identified = m_state == State::Identified;
    client.filtering = m_globalFiltering;
    client.software = m_softwareList;
    client.profiles = m_profiles;
    client.networks = m_networks;
    return SystemInformation::clientLines(client);
}

void Agent::showSystemInformationIfReady()
{
    if (!m_softwareKnown || !m_window)
        return;
    QString text;
    if (m_serviceReportWanted && !m_systemInfoCall) {
        m_serviceReportWanted = false;
        m_localReportWanted = false;
        text = (systemInformationLines() << m_serviceReport).join(QLatin1Char('\n'));
        for (const QPointer<MessageDialog> &wait : qAsConst(m_waitDialogs)) {
            if (wait)
                wait->close();
        }
        m_waitDialogs.clear();
    } else if (m_localReportWanted) {
        m_localReportWanted = false;
        text = systemInformationLines().join(QLatin1Char('\n'));
    } else {
        return;
    }
    auto *dialog = new SystemInformationDialog(text, m_window);
    dialog->resize(640, qMax(200, m_window->height() - 31));
    dialog->show();
    Q_EMIT systemInformationShown(dialog);
}
