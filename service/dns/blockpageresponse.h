#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The answers of the block page server, built from the parsed request alone so that tests
// can check them byte for byte with a fixed clock.
namespace BlockPage {

// Query keys of a block page request target.
extern const QString KeyBlockPage;
extern const QString KeyHostName;
extern const QString KeyUrl;

extern const QString ForbiddenBody;
extern const QString BadRequestBody;

// The block page hosts a redirect may name: the redirect carries the computer's token, so a
// page that names any other host would get the token handed to it. Entries are host names
// (compared without regard to case) or ".suffix" entries, which allow every name below the
// suffix.
class HostAllowList
{
public:
    // Every host (the proxy runner without a list).
    static HostAllowList any();
    static HostAllowList fromEntries(const QStringList &entries);

    bool allows(const QString &host) const;
    bool allowsAny() const { return m_any; }
    const QStringList &entries() const { return m_entries; }

private:
    bool m_any = false;
    QStringList m_entries;
};

// "HTTP/<digit>.<digit>": the only version text echoed into a status line. Anything else
// could smuggle a bare line feed, and with it headers, into our answer.
bool isValidVersion(const QString &version);

// "Date: ... GMT\r\nCache-Control: ...\r\nExpires: ... GMT" for the moment now (UTC).
QByteArray dateBlock(const QDateTime &now);

// The redirect URL for target when its query names a block page host and a host name:
// "<scheme>://<blockpage>/blocked?hostname=<hostname>&token=<token>&url=<url>", with the
// https scheme when the block page value begins with "blockpage-tls". Empty otherwise.
QString redirectUrl(const QString &target, quint32 token);

// The whole answer to a well-formed request: 303 to redirectUrl(), or 403 with
// ForbiddenBody when the target does not name both or names a block page host that hosts
// does not allow. version must be valid.
QByteArray answer(const QString &target, const QString &version, quint32 token, const QDateTime &now,
                  const HostAllowList &hosts = HostAllowList::any());

// 400 Bad Request with BadRequestBody; version is echoed when valid, else HTTP/1.1.
QByteArray badRequest(const QString &version, const QDateTime &now);

} // namespace BlockPage
