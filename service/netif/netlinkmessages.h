#pragma once

#include <QByteArray>
#include <QList>

// The rtnetlink notifications the interface watcher listens to (rtnetlink(7)): a datagram
// holds a sequence of messages, each a 16-byte header
//   nlmsg_len (u32, whole message, header included) nlmsg_type (u16) nlmsg_flags (u16)
//   nlmsg_seq (u32) nlmsg_pid (u32)
// followed by its payload and padding to a multiple of 4 bytes. Links (RTM_NEWLINK,
// RTM_DELLINK) carry a struct ifinfomsg, addresses (RTM_NEWADDR, RTM_DELADDR) a struct
// ifaddrmsg; both name the interface by index. All fields are in host byte order.
namespace Netlink {

struct Event
{
    enum Kind { LinkChanged, LinkRemoved, AddressAdded, AddressRemoved };
    Kind kind;
    int interfaceIndex;
};

struct Parsed
{
    QList<Event> events;
    // Messages of other types (NLMSG_NOOP, NLMSG_DONE, anything new) that were skipped.
    int skipped = 0;
    // Set when the datagram broke off or a length was inconsistent; the events before the
    // fault are kept, nothing after it is read.
    bool malformed = false;
};

// Reads every message of the datagram, in work linear in its size; never reads past it.
Parsed parse(const QByteArray &datagram);

} // namespace Netlink
