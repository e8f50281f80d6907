// libFuzzer target: QxtJSON::parse on arbitrary UTF-8 text, then stringify and parse again.
// Looks for crashes, stack exhaustion (the nesting limit) and unbounded memory.

#include "fuzzsupport.h"
#include "qxtjson.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QVariant value = QxtJSON::parse(text);
    const QString written = QxtJSON::stringify(value);
    // Whatever we write must parse again without trouble (keys are not escaped, so the
    // value may differ; only robustness is checked here).
    QxtJSON::parse(written);
    return 0;
}
