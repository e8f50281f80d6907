// The update checker's reading of the version file (bytes from the download location) over
// arbitrary input: it never crashes, an offer is newer only when its version is valid, the
// release notes come only with a newer version, and a download address is offered only
// from a "dl:" line.

#include "versionfile.h"

#include "fuzzsupport.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(qMin<size_t>(size, VersionFile::MaximumBytes)));
    const VersionFile::Offer offer = VersionFile::parse(bytes, QStringLiteral("3.2.1.3"));
    check(!offer.newer || (offer.valid && VersionFile::isValidVersion(offer.version)));
    check(offer.newer || offer.details.isEmpty());
    check(!offer.hasDownloadUrl || bytes.contains("\ndl:"));
    check(offer.details == offer.details.trimmed());
    if (offer.valid)
        check(!VersionFile::components(offer.version).isEmpty());
    return 0;
}
