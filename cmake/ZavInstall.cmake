# Installation in the file-system hierarchy, as the Debian packages (debian/) lay it out: the
# programs in bin, zav-closeapp in lib/zav, the language files in share/zav (the programs find both
# relative to their executable, foundation/InstallLayout.h), the desktop entry, icons, AppStream
# metainfo, manual pages, the zavd unit and its sample configuration in /etc/zav.
#
# With ZAV_PACKAGE_FILES the build also makes what is derived from the programs and the icon: the
# manual pages from the programs' own --help (help2man) and the icon sizes from zav.svg
# (rsvg-convert). Target zav_installed builds exactly what `install` copies.

option(ZAV_PACKAGE_FILES "Generate the manual pages and icon sizes for installation (help2man, rsvg-convert)" OFF)
# `install` copies what zav_installed built; it does not build every target (benchmarks, tests).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(GNUInstallDirs)
set(ZAV_INSTALLED_PROGRAMS zavd zavctl zav-ups-sim)
if(TARGET zav)
  list(APPEND ZAV_INSTALLED_PROGRAMS zav)
  install(TARGETS zav-closeapp RUNTIME DESTINATION lib/zav)
  install(FILES packaging/org.zav.Zav.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(packaging/org.zav.Zav.metainfo.xml.in ${CMAKE_BINARY_DIR}/org.zav.Zav.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/org.zav.Zav.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES src/app/resources/icons/zav.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(TARGETS ${ZAV_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET zav_satellites)
  install(FILES ${zav_satellite_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/zav)
endif()
# Debian 12 keeps units in /lib/systemd/system; other prefixes (/usr/local, a test tree) under the prefix.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(ZAV_UNIT_DIR /lib/systemd/system)
else()
  set(ZAV_UNIT_DIR lib/systemd/system)
endif()
install(FILES packaging/zavd.service DESTINATION ${ZAV_UNIT_DIR})
# The sample is the configuration: root-only, as it holds passwords.
install(FILES packaging/zavd.conf.sample DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/zav RENAME zavd.conf
        PERMISSIONS OWNER_READ OWNER_WRITE)

add_custom_target(zav_installed)
add_dependencies(zav_installed ${ZAV_INSTALLED_PROGRAMS})
if(TARGET zav_satellites)
  add_dependencies(zav_installed zav_satellites zav-closeapp)
endif()

if(ZAV_PACKAGE_FILES)
  find_program(ZAV_HELP2MAN help2man REQUIRED)
  find_program(ZAV_RSVG rsvg-convert REQUIRED)

  # Manual pages: page, section, the program that describes itself.
  set(man_script ${CMAKE_SOURCE_DIR}/packaging/man/manpage.sh)
  set(man_pages zav:1:zav zavctl:1:zavctl zavd:8:zavd zav-ups-sim:1:zav-ups-sim zavd.conf:5:zavd)
  set(man_files)
  foreach(entry ${man_pages})
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 page)
    list(GET entry 1 section)
    list(GET entry 2 program)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(out ${CMAKE_BINARY_DIR}/man/${page}.${section})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND bash ${man_script} ${page} ${section} $<TARGET_FILE:${program}> ${PROJECT_VERSION} ${out}
              ${CMAKE_SOURCE_DIR}/packaging/zavd.conf.sample
      DEPENDS ${program} ${man_script} ${CMAKE_SOURCE_DIR}/packaging/man/${page}.h2m
              ${CMAKE_SOURCE_DIR}/packaging/zavd.conf.sample
      COMMENT "Manual page ${page}(${section})"
      VERBATIM)
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
    list(APPEND man_files ${out})
  endforeach()
  add_custom_target(zav_manpages DEPENDS ${man_files})

  # The icon in the sizes desktops ask for, rendered from the program's own icon.
  set(icon_files)
  if(TARGET zav)
    foreach(size 16 22 24 32 48 64 128 256)
      set(out ${CMAKE_BINARY_DIR}/icons/${size}x${size}/zav.png)
      add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${ZAV_RSVG} -w ${size} -h ${size} -o ${out} ${CMAKE_SOURCE_DIR}/src/app/resources/icons/zav.svg
        DEPENDS ${CMAKE_SOURCE_DIR}/src/app/resources/icons/zav.svg
        VERBATIM)
      install(FILES ${out} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
      list(APPEND icon_files ${out})
    endforeach()
  endif()
  add_custom_target(zav_icons DEPENDS ${icon_files})
  add_dependencies(zav_installed zav_manpages zav_icons)
endif()
