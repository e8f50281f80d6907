#include "servicecontrol.h"
#include "serviceshell.h"

#include <memory>

int main(int argc, char **argv)
{
    // Qt's own event dispatcher instead of GLib's: the DNS proxy registers and drops a
    // socket notifier per upstream UDP query, which GLib does in linear time.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    std::unique_ptr<ServiceControl> control(createSystemServiceControl());
    return ServiceShell(control.get()).exec(argc, argv);
}
