#pragma once

namespace tessora {

// Makes the launcher's painted pieces speak through Qt accessibility: the results and layouts
// lists expose each item in view (name, selected and focused states, press action), and the
// tab pills are page tabs with a selected state. Installs the factory once per process.
void installLauncherAccessibility();

}  // namespace tessora
