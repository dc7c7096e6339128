#include "app/session_bus.h"

// Windows has no session bus for the sound system to start.
void keepSessionBusFromAutolaunching()
{
}
