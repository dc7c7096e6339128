#pragma once

// The desktop session's message bus, which the sound system's start-up connects to where the
// platform has one (session_bus_<platform>.cpp).

// Makes sure that connecting to the session bus never starts one that would outlive the game.
// Call before the sound system starts.
void keepSessionBusFromAutolaunching();
