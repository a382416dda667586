#include "sys/process.h"

namespace sys {

// A Windows process inherits no signal dispositions or mask, and a missing
// standard handle is a state of its own that the command runner handles.
void prepareProcess() {}

}  // namespace sys
