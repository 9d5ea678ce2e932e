# The language files beside the executable: zav.CHS, zav.ENU, zav.CHT (compiled Qt translations of
# the window captions). Without them the program still runs; only the language switch is refused.
if(TARGET Qt6::lrelease)
  set(ZAV_LRELEASE Qt6::lrelease)
else()
  find_program(ZAV_LRELEASE lrelease HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec)
endif()

if(ZAV_LRELEASE)
  set(zav_satellite_files)
  foreach(abbr CHS ENU CHT)
    set(ts ${CMAKE_SOURCE_DIR}/src/app/translations/zav_${abbr}.ts)
    set(qm ${CMAKE_BINARY_DIR}/zav.${abbr})
    add_custom_command(OUTPUT ${qm}
      COMMAND ${ZAV_LRELEASE} -silent ${ts} -qm ${qm}
      DEPENDS ${ts}
      COMMENT "Language file zav.${abbr}"
      VERBATIM)
    list(APPEND zav_satellite_files ${qm})
  endforeach()
  add_custom_target(zav_satellites ALL DEPENDS ${zav_satellite_files})
  add_dependencies(zav zav_satellites)

else()
  message(WARNING "lrelease not found: zav.CHS, zav.ENU and zav.CHT are not built")
endif()
