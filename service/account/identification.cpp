#include "identification.h"

#include "cabinet.h"
#include "dnsproxy.h"
#include "httpserver.h"
#include "profiledata.h"

#include <QTimer>

namespace {

// The account service's error 51 (the address is not known to it) after the account
// client's error code offset.
constexpr qint32 UnknownAddressCode = 1051;
constexpr qint32 CredentialsRefusedCode = 30;
constexpr qint32 IdentificationErrorCode = 1;

} // namespace

Identification::Identification(Cabinet *cabinet, DNS::DnsContext *context, QObject *parent,
                               quint16 blockPagePort)
    : QObject(parent)
    , m_cabinet(cabinet)
    , m_proxy(new DNSProxy(context, this))
    , m_blockPage(new HttpServer(context, this, blockPagePort ? blockPagePort : HttpServer::defaultPort()))
    , m_ipUpdateTimer(new QTimer(this))
    , m_cabinetState(cabinet->state())
{
    m_ipUpdateTimer->setObjectName(QStringLiteral("ipUpdateTimer"));
    m_ipUpdateTimer->setInterval(IpUpdateIntervalMs);
    connect(m_ipUpdateTimer, &QTimer::timeout, m_cabinet, &Cabinet::updateIP);

    connect(m_cabinet, &Cabinet::error, this, &Identification::cabinet_error);
    connect(m_cabinet, &Cabinet::profilesChanged, this, &Identification::checkFilterReady);
    connect(m_cabinet, &Cabinet::userFilterChanged, this, &Identification::checkFilterReady);
    connect(m_cabinet, &Cabinet::domainsChanged, this, &Identification::checkFilterReady);
    connect(m_cabinet, &Cabinet::ipChanged, this, &Identification::checkFilterReady);
    connect(m_cabinet, &Cabinet::stateChanged, this, &Identification::cabinet_stateChanged);
    connect(m_cabinet, &Cabinet::currentProfileChanged, this, &Identification::cabinet_currentProfileChanged);
    connect(m_cabinet, &Cabinet::credentialsUpdated, this, &Identification::start);
}

Identification::~Identification()
{
    m_blockPage->close();
    m_proxy->stop();
}

bool Identification::isReady(Type type) const
{
    if (type == IpType)
        return !m_cabinet->ip().isNull();
    const QSharedPointer<CabinetProfile> selected = m_cabinet->selectedProfile();
    if (!selected)
        return false;
    const ProfileData *data = m_cabinet->profileData(selected->id());
    if (!data)
        return false;
    // The record is made as soon as the profile is selected; what counts is that some of
    // its data has arrived (or was cached).
    for (int part = 0; part < ProfileData::PartCount; ++part) {
        if (data->isLoaded(ProfileData::Part(part)))
            return true;
    }
    return false;
}

Identification::Type Identification::effectiveType() const
{
    return m_state == Switching ? m_pendingType : m_type;
}

void Identification::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void Identification::setError(const Error &error)
{
    m_lastError = error;
    if (!error.isError())
        return;
    if (m_state == Switching)
        m_pendingType = m_type;
    if (m_state == Stopped) {
        emit this->error();
        return;
    }
    m_state = Stopped;
    emit stateChanged();
    emit this->error();
}

void Identification::askForAddress()
{
    m_cabinet->updateIP();
}

void Identification::activate()
{
    if (m_type == TokenType) {
        // The address type's timer belongs to a type that is no longer in force.
        m_ipUpdateTimer->stop();
        m_blockPage->start();
        if (!m_proxy->start()) {
            m_blockPage->close();
            setError(Error(IdentificationErrorCode, m_proxy->lastError()));
            return;
        }
        m_lastError = Error();
        setState(Running);
        return;
    }
    // Adapters point at the resolver itself under address identification: the proxy and the
    // block page would only hold their ports.
    m_blockPage->close();
    m_proxy->stop();
    m_lastError = Error();
    setState(Running);
    askForAddress();
    m_ipUpdateTimer->start();
}

void Identification::start()
{
    startWithType(TokenType);
}

void Identification::startWithType(Type type)
{
    if (m_state != Stopped) {
        if (type == m_type) {
            if (m_state == Switching) {
                const Type dropped = m_pendingType;
                m_pendingType = m_type;
                m_lastError = Error();
                m_state = Running;
                emit stateChanged();
                if (dropped == IpType)
                    m_ipUpdateTimer->stop();
            }
            return;
        }
        if (m_state == Switching && type == m_pendingType)
            return;
    }
    m_lastError = Error();
    if (isReady(type)) {
        m_type = type;
        m_pendingType = type;
        activate();
        emit typeChanged();
    } else if (m_state == Stopped) {
        m_type = type;
        m_pendingType = type;
        m_state = Waiting;
        emit stateChanged();
    } else if (m_state == Running) {
        m_pendingType = type;
        m_state = Switching;
        emit stateChanged();
    }
    if (type == IpType)
        askForAddress();
}

void Identification::stop()
{
    // Whatever the state: a proxy left running by an error that stopped identification
    // must not outlive it.
    m_blockPage->close();
    m_proxy->stop();
    m_ipUpdateTimer->stop();
    m_state = Stopped;
    m_pendingType = m_type;
    emit stateChanged();
}

void Identification::checkFilterReady()
{
    if (m_state == Stopped)
        return;
    const Type wanted = effectiveType();
    if (isReady(wanted)) {
        if (m_state == Switching) {
            if (m_type == IpType)
                m_ipUpdateTimer->stop();
            m_type = m_pendingType;
            activate();
            emit typeChanged();
        } else if (m_state == Waiting) {
            activate();
        }
        return;
    }
    if (m_state != Running)
        return;
    const Error &account = m_cabinet->lastError();
    setError(account.isError() ? account : Error(IdentificationErrorCode, QStringLiteral("filter is not ready")));
    setState(Waiting);
}

void Identification::cabinet_error()
{
    const Error failure = m_cabinet->lastError();
    const bool addressUnknown = failure.code() == UnknownAddressCode
            && ((m_state == Switching && m_pendingType == IpType) || (m_state == Waiting && m_type == IpType));
    const bool refused = failure.code() == CredentialsRefusedCode && (m_state == Waiting || m_state == Switching);
    if (!addressUnknown && !refused)
        return;
    setError(failure);
    m_ipUpdateTimer->stop();
}

void Identification::cabinet_stateChanged()
{
    const int now = m_cabinet->state();
    const bool changed = now != m_cabinetState;
    m_cabinetState = now;
    if (!changed)
        return;
    if (now == Cabinet::Connected)
        checkFilterReady();
    else if (now == Cabinet::Disconnected && m_state == Running && !isReady(m_type))
        setState(Waiting);
}

void Identification::cabinet_currentProfileChanged()
{
    const QSharedPointer<CabinetProfile> current = m_cabinet->currentProfile();
    if (m_state != Stopped && current && current->id() != 0 && effectiveType() == IpType)
        askForAddress();
    checkFilterReady();
}

void Identification::restartProxy()
{
    if (m_state == Waiting || m_state == Switching)
        return;
    const bool wasListening = m_proxy->isRunning();
    m_proxy->stop();
    if (!wasListening && m_proxy->lastError().isEmpty())
        return;
    if (m_type != TokenType || !isReady(TokenType))
        return;
    if (!m_proxy->start()) {
        setError(Error(IdentificationErrorCode, m_proxy->lastError()));
        return;
    }
    m_blockPage->start();
    m_lastError = Error();
    setState(Running);
}
