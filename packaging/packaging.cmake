# What the installed programs come with (manual pages, AppStream metainfo,
# copyright and changelog), and the Debian package that holds it all:
# `cpack -G DEB` in a build tree, or scripts/package.sh.

set(METER_SETUP_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/meter-setup)

# The manual pages are written in scdoc and made into roff when the tree is
# built, compressed as Debian installs them.
find_program(SCDOC_EXECUTABLE scdoc)
option(METER_SETUP_REQUIRE_MANPAGES "Stop when scdoc is missing, instead of building without manual pages" OFF)
if(SCDOC_EXECUTABLE)
  set(MANPAGE_FILES)
  foreach(page meter-setup meter-cli meter-sim)
    set(configured ${PROJECT_BINARY_DIR}/man/${page}.1.scd)
    configure_file(man/${page}.1.scd ${configured} @ONLY)
    add_custom_command(
      OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.1 ${PROJECT_BINARY_DIR}/man/${page}.1.gz
      COMMAND sh -c "\"$0\" < \"$1\" > \"$2\" && gzip -9n -c \"$2\" > \"$2.gz\"" ${SCDOC_EXECUTABLE} ${configured}
              ${PROJECT_BINARY_DIR}/man/${page}.1
      DEPENDS ${configured}
      COMMENT "Manual page ${page}(1)"
      VERBATIM)
    list(APPEND MANPAGE_FILES ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${MANPAGE_FILES})
  install(FILES ${MANPAGE_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
elseif(METER_SETUP_REQUIRE_MANPAGES)
  message(FATAL_ERROR "scdoc is needed for the manual pages: sudo apt-get install scdoc")
else()
  message(STATUS "scdoc not found: building without the manual pages")
endif()

add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)

install(FILES data/com.example.meters.meter_setup.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${METER_SETUP_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME meter-setup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvane Instruments Ltd.")
set(CPACK_PACKAGE_CONTACT "Korvane Meter Setup Utility developers <meters@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up Korvane digital panel meters over a serial line")
# Debian wants the long description in lines of under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "A desktop program with which a technician sets up a Korvane digital\n"
       "panel meter over a serial line: RS-232, or two-wire RS-485 through a\n"
       "converter. It finds the meter by trying every baud rate and parity,\n"
       "reads its address, model and firmware version, loads its configuration\n"
       "into one window of tabbed pages and shows its live reading. A meter's\n"
       "whole setup can be saved to a file, compared with one and written back.\n"
       "\n"
       "The package also holds meter-cli, which does the same from a shell, and\n"
       "meter-sim, a simulated meter on a pseudo-terminal to try both without one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://meters.example.com/)
# The libraries the programs link decide the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The pages are laid out for Arial; Liberation Sans has its metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                               WORLD_READ WORLD_EXECUTE)
include(CPack)
