#include "UiLoop.h"

namespace aaxhost {

// Nothing is queued for a thread here: a module fires its own timers from the host's periodic call.
void DispatchUiMessages() {}

} // namespace aaxhost
