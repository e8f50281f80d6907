#include "diagnosticsprobe.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QUdpSocket>

namespace {

constexpr int MaximumDatagram = 65535;

// "key=value" among the strings; empty when absent.
QByteArray valueOf(const QList<QByteArray> &strings, const QByteArray &key)
{
    const QByteArray prefix = key + '=';
    for (const QByteArray &string : strings) {
        if (string.startsWith(prefix))
            return string.mid(prefix.size());
    }
    return QByteArray();
}

} // namespace

bool ProbeView::read(const QByteArray &bytes, const DNS::Packet &query, ProbeView *view, QString *error)
{
    const DNS::Packet answer(bytes);
    if (answer.size() <= 12 || !answer.isResponse()) {
        *error = QStringLiteral("Answer is't correct dns response\n");
        return false;
    }
    if (answer.id() != query.id()) {
        *error = QStringLiteral("response id and request id are different\n");
        return false;
    }
    const DNS::QuestionList asked = query.questions();
    const DNS::QuestionList questions = answer.questions();
    const DNS::QuestionPtr question = questions.value(0);
    // Names compare without regard to case (RFC 4343): a resolver may echo another case.
    if (questions.size() != 1 || asked.size() != 1 || question->type() != asked.first()->type()
        || question->name().compare(asked.first()->name(), Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("incorrect query name or type in answer name:%1 type:%2\n")
                         .arg(question ? Diagnostics::printable(question->name(), 255) : QString())
                         .arg(question ? question->type() : 0);
        return false;
    }
    const DNS::RecordList records = answer.answers();
    if (answer.parseFailed()) {
        *error = QStringLiteral("Answer is't correct dns response\n");
        return false;
    }
    if (records.size() > 1) {
        *error = QStringLiteral("multiple answers:%1\n").arg(records.size());
        return false;
    }
    const auto *txt = records.isEmpty() ? nullptr : dynamic_cast<const DNS::TxtRR *>(records.first().data());
    if (!txt) {
        *error = QStringLiteral("no TXT answer, rcode:%1\n").arg(answer.rcode());
        return false;
    }
    view->profile = Diagnostics::printable(valueOf(txt->strings(), "profile"));
    view->ip = Diagnostics::printable(valueOf(txt->strings(), "ip"));
    view->token = Diagnostics::printable(valueOf(txt->strings(), "token"));
    return true;
}

QList<quint16> CheckBlackTarnwick::bindPorts()
{
    const QString configured = qEnvironmentVariable("CORVANE_DIAG_PROBE_PORTS");
    QList<quint16> ports;
    for (const QString &part : configured.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint port = part.trimmed().toUInt(&ok);
        if (ok && port > 0 && port <= 0xFFFF)
            ports.append(quint16(port));
    }
    return ports.isEmpty() ? QList<quint16>{ 1234, 4321 } : ports;
}

CheckBlackTarnwick::CheckBlackTarnwick(CheckResult *result, ProbeView *view, const Settings &settings)
    : base_test(result)
    , m_view(view)
    , m_settings(settings)
{
}

bool CheckBlackTarnwick::test()
{
    DNS::Packet query;
    if (m_settings.probeHost.isEmpty() || !query.makeQuery(m_settings.probeHost, DNS::TypeTxt)) {
        m_text += QStringLiteral("incorrect probe host name:%1\n").arg(Diagnostics::printable(m_settings.probeHost, 255));
        return false;
    }
    query.setId(quint16(QRandomGenerator::global()->bounded(0x10000)));

    // Bound alone (not shared): another socket on the same port would take the answers.
    QUdpSocket socket;
    const QHostAddress any = m_settings.proxy.protocol() == QAbstractSocket::IPv6Protocol
            ? QHostAddress(QHostAddress::Any)
            : QHostAddress(QHostAddress::AnyIPv4);
    bool bound = false;
    for (const quint16 port : qAsConst(m_settings.bindPorts)) {
        if ((bound = socket.bind(any, port, QUdpSocket::DontShareAddress)))
            break;
    }
    if (!bound) {
        m_text += QStringLiteral("Can't bind udp socket: %1 %2\n").arg(int(socket.error())).arg(socket.errorString());
        return false;
    }
    const QByteArray bytes = query.bytes();
    if (socket.writeDatagram(bytes, m_settings.proxy, m_settings.proxyPort) != bytes.size()) {
        m_text += QStringLiteral("Can't write datagram to %1: %2\n").arg(m_settings.proxy.toString(), socket.errorString());
        return false;
    }

    const QDeadlineTimer deadline(m_settings.waitMs);
    while (!deadline.hasExpired() && !isCancelled()) {
        if (!socket.hasPendingDatagrams()
            && !socket.waitForReadyRead(int(qBound<qint64>(1, deadline.remainingTime(), CancelPollMs))))
            continue;
        QByteArray answer(int(qBound<qint64>(0, socket.pendingDatagramSize(), MaximumDatagram)), '\0');
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 size = socket.readDatagram(answer.data(), answer.size(), &sender, &senderPort);
        if (size < 0 || senderPort != m_settings.proxyPort
            || (!sender.isEqual(m_settings.proxy, QHostAddress::TolerantConversion)
                && m_settings.proxy != QHostAddress(QHostAddress::AnyIPv4)))
            continue;
        answer.resize(int(size));
        QString error;
        if (!ProbeView::read(answer, query, m_view, &error)) {
            m_text += error;
            return false;
        }
        m_text += QString::fromLatin1(m_settings.probeHost)
                + QStringLiteral("p:%1 ip:%2 t:%3\n").arg(m_view->profile, m_view->ip, m_view->token);
        return true;
    }
    m_text += QStringLiteral("Can't read from udp socket %1 %2\n").arg(int(socket.error())).arg(socket.errorString());
    return false;
}
