#include "servicecontrol.h"
#include "serviceshell.h"

#include <memory>

int main(int argc, char **argv)
{
    std::unique_ptr<ServiceControl> control(createSystemServiceControl());
    return ServiceShell(control.get()).exec(argc, argv);
}
