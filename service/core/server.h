#pragma once

#include <QObject>

#include "error.h"

class QSettings;

// The service's orchestrator: starts, wires and stops the subsystems. For now it validates
// the resolver and local proxy endpoints of the configuration; the subsystems it will
// start come with their own code.
class Server : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Server)
public:
    explicit Server(QObject *parent = nullptr);
    ~Server() override;

    // Starts the service's work. Returns false and keeps lastError() when it cannot.
    virtual bool start();
    virtual void stop();
    Error lastError() const { return m_lastError; }

protected:
    void setLastError(const Error &error) { m_lastError = error; }

private:
    Error m_lastError;
};
