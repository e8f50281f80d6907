#include "serverinterface.h"

ServerInterface::~ServerInterface() = default;
