# The layers of src/ and what each folder may include. Every target is compiled against a view of
# its own (build/include-views/<target>/) that holds links to the headers of the folders it may see
# and nothing else, so an include that points the wrong way fails to build. A folder "x" in a list
# stands for x's logic headers (src/x/*.h), "x/widgets" for its pages.
#
#   app                      main window, shell, page factory, main.cpp    (included by no one)
#   <subsystem>/widgets      the subsystem's pages
#   pagekit                  page base, AppContext, shared widgets
#   zavctl, zavd             the headless programs (no widget header in sight)
#   journal                  events of the UPS, their journal, notifications and the event command
#   session                  one UPS on the link: its jobs, stores, cycle and model
#   monitor records settings service flash protect      subsystem logic, QtCore only
#   link                     Modbus, the serial channel, the scheduler and its job interface
#   foundation               profile file, shared texts, branding, bounded files, quit signals

set(ZAV_SEES_foundation foundation)
set(ZAV_SEES_link foundation link)
set(ZAV_SEES_monitor foundation link monitor)
set(ZAV_SEES_records foundation link records)
set(ZAV_SEES_settings foundation link monitor records settings)
set(ZAV_SEES_service foundation link monitor settings service)
set(ZAV_SEES_flash foundation link flash)
set(ZAV_SEES_protect foundation protect)
set(ZAV_SEES_session foundation link monitor settings session)
set(ZAV_SEES_journal foundation link monitor settings service protect session journal)
# The logic libraries in link order (each after the ones it uses).
set(ZAV_LOGIC_LAYERS foundation link monitor records settings service flash protect session journal)
set(ZAV_WIDGET_SUBSYSTEMS monitor records settings service flash protect journal)

# zav_include_view(<target> <folder>...): compiles <target> against the headers of <folder>s only.
function(zav_include_view target)
  set(view ${CMAKE_BINARY_DIR}/include-views/${target})
  file(REMOVE_RECURSE ${view})
  foreach(folder ${ARGN})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
    file(MAKE_DIRECTORY ${view}/${folder})
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${view}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()

# zav_sources(<var> <folder>): the folder's .cpp and .h files, program entry points left out.
function(zav_sources var folder)
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  list(FILTER files EXCLUDE REGEX "/main\\.cpp$")
  set(${var} ${files} PARENT_SCOPE)
endfunction()
