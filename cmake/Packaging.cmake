# What "cmake --install" puts on a system and how scripts/package.sh turns it
# into a Debian package (CPack's DEB generator). The version is project()'s.
include(GNUInstallDirs)

set(ZEMVALKORTA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${ZEMVALKORTA_PACKAGING_DIR}/zemvalkorta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZEMVALKORTA_PACKAGING_DIR}/zemvalkorta-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME zemvalkorta.xml)
install(FILES ${ZEMVALKORTA_PACKAGING_DIR}/zemvalkorta.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev reads /usr/lib/udev/rules.d, whatever the prefix.
install(FILES ${ZEMVALKORTA_PACKAGING_DIR}/70-zemvalkorta.rules DESTINATION lib/udev/rules.d)
install(FILES ${ZEMVALKORTA_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

option(ZEMVALKORTA_PACKAGING "Make the icon sizes, manual pages and changelog of the package (needs rsvg-convert, help2man)"
       OFF)
if(ZEMVALKORTA_PACKAGING)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  find_program(HELP2MAN help2man REQUIRED)
  find_program(GZIP gzip REQUIRED)

  # The usual sizes of the hicolor theme, all from the one drawing.
  set(icon_outputs)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/zemvalkorta.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ZEMVALKORTA_PACKAGING_DIR}/zemvalkorta.svg
      DEPENDS ${ZEMVALKORTA_PACKAGING_DIR}/zemvalkorta.svg VERBATIM)
    list(APPEND icon_outputs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()

  # Manual pages made from the programs' own --help and --version, so that
  # they say what the programs say. The window's --help needs no display.
  set(man_outputs)
  set(descriptions
    "zemvalkorta|frost resistance of concrete: the instrument's companion window"
    "zemvalkorta-cli|frost resistance of concrete without the window"
    "zemvalkorta-instrument|a virtual frost-resistance instrument on a local socket")
  foreach(entry IN LISTS descriptions)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 description)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
              ${HELP2MAN} --locale=C.UTF-8 --no-info --no-discard-stderr --section=1 --name=${description}
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${page}
      DEPENDS ${program} VERBATIM)
    list(APPEND man_outputs ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()

  # Debian wants a changelog in every package (changelog.gz: the package is
  # native, its version has no Debian revision); it names the commit built.
  find_program(GIT git)
  set(ZEMVALKORTA_SOURCE_COMMIT "unknown")
  set(ZEMVALKORTA_SOURCE_DATE "")
  if(GIT)
    execute_process(COMMAND ${GIT} -C ${PROJECT_SOURCE_DIR} log -1 --format=%H OUTPUT_VARIABLE ZEMVALKORTA_SOURCE_COMMIT
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT} -C ${PROJECT_SOURCE_DIR} log -1 --format=%aD OUTPUT_VARIABLE ZEMVALKORTA_SOURCE_DATE
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(ZEMVALKORTA_SOURCE_DATE STREQUAL "")
    string(TIMESTAMP ZEMVALKORTA_SOURCE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  endif()
  configure_file(${ZEMVALKORTA_PACKAGING_DIR}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND ${GZIP} -9nkf ${CMAKE_BINARY_DIR}/changelog
    DEPENDS ${CMAKE_BINARY_DIR}/changelog VERBATIM)
  install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

  add_custom_target(package-files ALL DEPENDS ${icon_outputs} ${man_outputs} ${CMAKE_BINARY_DIR}/changelog.gz)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zemvalkorta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_CONTACT "${ZEMVALKORTA_COMPANY_NAME} <${ZEMVALKORTA_COMPANY_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${ZEMVALKORTA_SUMMARY}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${ZEMVALKORTA_COMPANY_WEB}")
# The summary above is the synopsis line; this is the rest.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The companion program of the laboratory instrument that determines the\n"
    "frost resistance of concrete by the accelerated dilatometric method. It\n"
    "downloads the instrument's measurements over USB into a project file,\n"
    "computes the deformation difference, theta and the frost-resistance grade\n"
    "F25-F1000 of every concrete specimen, and shows, prints and exports them.\n"
    ".\n"
    "The package holds the window (zemvalkorta), the command-line tool\n"
    "(zemvalkorta-cli), a virtual instrument for trying the programs without\n"
    "one (zemvalkorta-instrument) and the udev rule that lets the user at the\n"
    "seat open the instrument.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not say: the embedded database engine is a plugin of
# the client library, Qt loads its Russian texts at run time, and the
# report needs the metric-compatible fonts its templates are laid out in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "firebird3.0-server-core, qt6-translations-l10n, fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${ZEMVALKORTA_PACKAGING_DIR}/postinst ${ZEMVALKORTA_PACKAGING_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
