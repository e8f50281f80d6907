#include "singleinstance.h"

#include <unistd.h>

QString SingleInstance::userInstanceId()
{
    return QStringLiteral("Corvane-Agent-%1").arg(::getuid());
}
