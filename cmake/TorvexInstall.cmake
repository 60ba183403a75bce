# Installation as a Linux program, and the Debian package built by CPack.
#
#   bin/torvex, bin/torvex-run     (app/CMakeLists.txt)
#   share/torvex/                  the gas tables with their README, the help
#   share/applications/            the desktop entry
#   share/icons/hicolor/           the icon as PNG at several sizes and as SVG
#   share/man/man1/                the manual pages
#   share/doc/torvex/              the README
#
# The programs look for share/torvex beside the bin/ that holds them, so a
# prefix can be moved as a whole (solver/data_folders.h).

set(TORVEX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TORVEX_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/torvex)

# Everything in data/ that a program reads, sub-folders included: tables,
# CSV files and their descriptions.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TORVEX_SHARE_DIR}
        FILES_MATCHING PATTERN "*.dat" PATTERN "*.csv" PATTERN "*.md" PATTERN "*.txt")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages, compressed as man expects them in a package.
set(TORVEX_MAN_PAGES torvex-run.1 kavel-run.1)
if(NOT TORVEX_SOLVER_ONLY)
  list(APPEND TORVEX_MAN_PAGES torvex.1)
endif()
find_program(TORVEX_GZIP gzip REQUIRED)
set(TORVEX_MAN_FILES "")
foreach(page ${TORVEX_MAN_PAGES})
  set(copy ${PROJECT_BINARY_DIR}/man/${page})
  add_custom_command(OUTPUT ${copy}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${TORVEX_PACKAGING_DIR}/${page} ${copy}
                     COMMAND ${TORVEX_GZIP} -9 -n -f ${copy}
                     DEPENDS ${TORVEX_PACKAGING_DIR}/${page} VERBATIM)
  list(APPEND TORVEX_MAN_FILES ${copy}.gz)
endforeach()
add_custom_target(torvex_man_pages ALL DEPENDS ${TORVEX_MAN_FILES})
install(FILES ${TORVEX_MAN_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(NOT TORVEX_SOLVER_ONLY)
  # The icon at the sizes desktops ask for, drawn by the program's own icon
  # code; the scalable one is the same picture written as SVG.
  add_executable(torvex_icons ${PROJECT_SOURCE_DIR}/app/torvex_icons.cpp)
  target_link_libraries(torvex_icons PRIVATE torvex_resources)
  set(TORVEX_ICON_SIZES 16 22 24 32 48 64 128 256)
  set(TORVEX_ICON_DIR ${PROJECT_BINARY_DIR}/icons/hicolor)
  set(TORVEX_ICON_FILES "")
  foreach(size ${TORVEX_ICON_SIZES})
    list(APPEND TORVEX_ICON_FILES ${TORVEX_ICON_DIR}/${size}x${size}/apps/torvex.png)
  endforeach()
  add_custom_command(OUTPUT ${TORVEX_ICON_FILES}
                     COMMAND torvex_icons ${TORVEX_ICON_DIR} ${TORVEX_ICON_SIZES}
                     DEPENDS torvex_icons VERBATIM)
  add_custom_target(torvex_icon_files ALL DEPENDS ${TORVEX_ICON_FILES})
  install(DIRECTORY ${TORVEX_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${TORVEX_PACKAGING_DIR}/torvex.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${TORVEX_PACKAGING_DIR}/torvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

# The Debian package: `cpack -G DEB` in the build folder. The libraries the
# executables link are found by dpkg-shlibdeps; the charts are laid out for
# Arial's metrics, which Liberation Sans shares.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvex)
set(CPACK_PACKAGE_VENDOR "TORVEX")
set(CPACK_PACKAGE_CONTACT "TORVEX developers <torvex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulation of the plasma jet of a DC arc torch and of spray particles in it")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TORVEX computes the arc channel inside a direct-current arc plasma torch\n"
    "and the free plasma jet outside it, as used for thermal spraying: arc\n"
    "voltage, electric power and torch efficiency, isothermal lines and radial\n"
    "and axial distributions of temperature and velocity. torvex is the desktop\n"
    "program and torvex-run the same solver from a terminal.\n"
    ".\n"
    "Its second module follows spray particles through the computed jet as\n"
    "they are accelerated, heated, melted and partly evaporated: kavel is its\n"
    "desktop program and kavel-run its terminal program.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
if(TORVEX_PYTHON)
  # The module is built for this interpreter's version and needs numpy.
  math(EXPR next_minor "${Python_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${next_minor}), python3-numpy")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
