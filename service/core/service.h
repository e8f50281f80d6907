#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class Server;

// The service object that the service shell starts and stops. start() merges
// "service.ini", writes the defaults, applies the provisioning options and starts the
// Server; stop() stops the Server.
class Service : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Service)
public:
    static const char *const Name;
    static const char *const Description;

    using ServerFactory = std::function<Server *(QObject *parent)>;
    // Called with the text of the server's last error when it does not start; the default
    // ends the process through qFatal.
    using FatalHandler = std::function<void(const QString &text)>;

    explicit Service(QObject *parent = nullptr);
    ~Service() override;

    void setServerFactory(ServerFactory factory);
    void setFatalHandler(FatalHandler handler);

    // The arguments are those the service was started with, the program first. Returns
    // false only when the Server failed and the fatal handler returned.
    bool start(const QStringList &arguments);
    void stop();

    Server *server() const { return m_server; }

private:
    ServerFactory m_serverFactory;
    FatalHandler m_fatalHandler;
    Server *m_server = nullptr;
};
