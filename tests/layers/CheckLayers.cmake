# The layers as the folders say (run with -DSOURCE_DIR=<project root>):
#   core/                         the coroutine tasks, clocks and geometry everything uses
#   platform/                     the seam: interfaces for everything outside the system
#   platform/x11/, platform/sim/  the real backend and the simulated desktop, beside each other
#   platform/x11/grabber/         the backend's grab helper, a program of its own (xcb alone)
#   workspace/ < arrange/ < chain/            the system's logic, written against the seam
#   preferences/ < launcher/ < app/           views and shell; only app/ assembles the layers
#   data/                         what is installed besides the programs; draws the icon
# No folder includes one above it or beside it, the logic and the seam include no X11, GIO or
# GUI header, and no view includes a backend.
cmake_minimum_required(VERSION 3.25)

set(allowed_core core)
set(allowed_platform core platform)
set(allowed_platform/x11 core platform platform/x11)
set(allowed_platform/sim core platform platform/sim)
set(allowed_platform/x11/grabber platform/x11 platform/x11/grabber)
set(allowed_workspace core platform workspace)
set(allowed_arrange core platform workspace arrange)
set(allowed_chain core platform workspace arrange chain)
set(allowed_preferences core platform preferences)
set(allowed_launcher core platform workspace arrange chain preferences launcher)
set(allowed_app core platform platform/x11 workspace arrange chain preferences launcher app)
set(allowed_data preferences)

# Headers of the window system, GIO and the GUI toolkit, which stay behind the seam.
set(outside_headers "^(xcb/|X11/|gio/|glib|QtGui|QtWidgets|QGuiApplication|QApplication|QWidget|QKeyEvent|QImage|QPixmap|QPainter|QIcon|QFont|QColor|QScreen|QWindow)")
set(logic_folders core platform workspace arrange chain)

set(problems "")
foreach(folder core platform platform/x11 platform/x11/grabber platform/sim workspace arrange
        chain preferences launcher app data)
  file(GLOB sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^#include [\"<]")
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
    foreach(line ${includes})
      if(line MATCHES "^#include \"([^\"]+)/[^/\"]+\"")
        set(target "${CMAKE_MATCH_1}")
        if(NOT target IN_LIST allowed_${folder})
          string(APPEND problems "  ${name} includes ${target}/\n")
        endif()
      elseif(line MATCHES "^#include <([^>]+)>")
        set(header "${CMAKE_MATCH_1}")
        # The seam's own implementation files may read desktop entries with GLib.
        if(folder IN_LIST logic_folders AND header MATCHES "${outside_headers}"
           AND NOT (name MATCHES "^platform/[^/]+\\.cpp$" AND header MATCHES "^(glib|gio/)"))
          string(APPEND problems "  ${name} includes <${header}>\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layers:\n${problems}")
endif()
message(STATUS "Every include points down the layers")
