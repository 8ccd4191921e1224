# Decides whether the window is built and sets TESSARY_GUI accordingly. TESSARY_BUILD_GUI is
# AUTO (the window when Qt 6 Widgets is found, a notice otherwise), ON (Qt 6 is required) or
# OFF; any other true or false value counts as ON or OFF, as the option it once was took them.
string(TOUPPER "${TESSARY_BUILD_GUI}" tessary_gui_choice)
if(tessary_gui_choice STREQUAL "AUTO")
  find_package(Qt6 QUIET COMPONENTS Widgets)
  if(Qt6Widgets_FOUND)
    set(TESSARY_GUI ON)
    message(STATUS "Tessary: building the window (tessary) with Qt ${Qt6Widgets_VERSION}")
  else()
    set(TESSARY_GUI OFF)
    message(WARNING "Tessary: Qt 6 Widgets was not found, so the window (tessary) is not built; "
                    "only tessary-cli is. Install qt6-base-dev (tools/install-deps.sh) to build "
                    "it, or configure with -DTESSARY_BUILD_GUI=OFF to leave it out quietly.")
  endif()
elseif(TESSARY_BUILD_GUI)
  find_package(Qt6 QUIET COMPONENTS Widgets)
  if(NOT Qt6Widgets_FOUND)
    message(FATAL_ERROR "Tessary: TESSARY_BUILD_GUI is ON but Qt 6 Widgets was not found. "
                        "Install qt6-base-dev (tools/install-deps.sh), or configure with "
                        "-DTESSARY_BUILD_GUI=AUTO or OFF to build tessary-cli alone.")
  endif()
  set(TESSARY_GUI ON)
else()
  set(TESSARY_GUI OFF)
endif()
