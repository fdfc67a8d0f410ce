#pragma once

namespace tessora {

// Plain `tessora`: runs the resident tray application on the X11 display until it is told to
// quit (the tray menu, SIGINT, SIGTERM). A second start hands over to the running instance and
// returns 0. Without a reachable display it says so on stderr and returns 1.
int runResidentApplication(int& argc, char** argv);

}  // namespace tessora
