#include "netlinkmessages.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstring>

namespace Netlink {

namespace {

constexpr int HeaderSize = int(sizeof(nlmsghdr));

// The interface index of a link or address payload; false when the payload is too short.
bool interfaceIndexOf(const char *payload, int size, quint16 type, int *index)
{
    if (type == RTM_NEWLINK || type == RTM_DELLINK) {
        ifinfomsg info;
        if (size < int(sizeof(info)))
            return false;
        std::memcpy(&info, payload, sizeof(info));
        *index = info.ifi_index;
        return true;
    }
    ifaddrmsg address;
    if (size < int(sizeof(address)))
        return false;
    std::memcpy(&address, payload, sizeof(address));
    *index = int(address.ifa_index);
    return true;
}

bool kindOf(quint16 type, Event::Kind *kind)
{
    switch (type) {
    case RTM_NEWLINK:
        *kind = Event::LinkChanged;
        return true;
    case RTM_DELLINK:
        *kind = Event::LinkRemoved;
        return true;
    case RTM_NEWADDR:
        *kind = Event::AddressAdded;
        return true;
    case RTM_DELADDR:
        *kind = Event::AddressRemoved;
        return true;
    default:
        return false;
    }
}

} // namespace

Parsed parse(const QByteArray &datagram)
{
    Parsed parsed;
    const char *data = datagram.constData();
    const int size = datagram.size();
    int offset = 0;
    while (offset < size) {
        if (size - offset < HeaderSize) {
            parsed.malformed = true;
            break;
        }
        nlmsghdr header;
        std::memcpy(&header, data + offset, sizeof(header));
        // A length below the header's or past the datagram's end would make us loop or
        // read beyond it; the length is compared before anything is added to it.
        if (header.nlmsg_len < quint32(HeaderSize) || header.nlmsg_len > quint32(size - offset)) {
            parsed.malformed = true;
            break;
        }
        const int length = int(header.nlmsg_len);
        Event::Kind kind;
        int index = 0;
        if (!kindOf(header.nlmsg_type, &kind)) {
            ++parsed.skipped;
        } else if (!interfaceIndexOf(data + offset + HeaderSize, length - HeaderSize, header.nlmsg_type, &index)) {
            parsed.malformed = true;
            break;
        } else {
            parsed.events.append({ kind, index });
        }
        // NLMSG_ALIGN of the length; the last message may omit its padding.
        const int aligned = (length + NLMSG_ALIGNTO - 1) & ~(NLMSG_ALIGNTO - 1);
        offset = aligned >= size - offset ? size : offset + aligned;
    }
    return parsed;
}

} // namespace Netlink
