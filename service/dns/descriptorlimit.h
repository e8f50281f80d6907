#pragma once

namespace DNS {

// Raises this process's soft limit of open descriptors towards wanted (never above the
// hard limit, never lowering it). Returns the soft limit in force afterwards.
int raiseDescriptorLimit(int wanted);

} // namespace DNS
