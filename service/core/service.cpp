#include "service.h"

#include "configuration.h"
#include "logrouting.h"
#include "provisioning.h"
#include "server.h"

#include <QSettings>

const char *const Service::Name = "Corvane Agent";
const char *const Service::Description =
        "Corvane Agent backend. Handles DNS settings on local system and user filtering preferences";

Service::Service(QObject *parent)
    : QObject(parent)
    , m_serverFactory([](QObject *owner) { return new Server(owner); })
    , m_fatalHandler([](const QString &text) { qFatal("%s", qPrintable(text)); })
{
}

Service::~Service() = default;

void Service::setServerFactory(ServerFactory factory)
{
    m_serverFactory = std::move(factory);
}

void Service::setFatalHandler(FatalHandler handler)
{
    m_fatalHandler = std::move(handler);
}

bool Service::start(const QStringList &arguments)
{
    {
        QSettings store;
        Configuration::mergeIni(Configuration::serviceIniPath(), store);
        Configuration::writeDefaults(store);
    }
    {
        // The desktop client's machine-wide store, read by every user's client as fallback.
        QSettings service;
        QSettings agent(QSettings::NativeFormat, QSettings::SystemScope,
                QStringLiteral("Corvane"), QStringLiteral("Agent"));
        Provisioning::apply(CommandLineOptions::parse(arguments), service, agent);
    }

    m_server = m_serverFactory(this);
    if (m_server->start())
        return true;
    const QString text = m_server->lastError().toString();
    LogRouting::writeSuccess(text);
    m_fatalHandler(text);
    return false;
}

void Service::stop()
{
    if (m_server)
        m_server->stop();
}
