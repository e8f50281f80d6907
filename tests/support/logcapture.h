#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

// Collects every Qt log message while it lives (and keeps them off the test's output),
// so tests can assert exactly which warnings were, and were not, given.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QList<QPair<QtMsgType, QString>> messages() const;
    QStringList warnings() const;
    bool contains(const QString &text) const;
    // The messages, one a line, for failure output.
    QString dump() const;
    void clear();

private:
    QtMessageHandler m_previous;
};
