# Layers the build enforces. Each folder of the program is one library
# target with its files listed; what a layer may include is checked before
# it is compiled, so a forbidden include fails the build instead of waiting
# for a review.
#
#   platform      interfaces of the outside services
#   base          INI files, text conversion, search path, window placement
#   profiles      profile files, the encoding-mode table, the editor's rules
#   encode        command line, run planner, batch runner and its thread
#   tags          ID3 reader, Windows Media tag writer
#   app           start-up, job list, settings (the shell's rules)
#   platform/posix  the Linux side of the services
#   controls, profiles/ui, encode/ui, app/ui  the Qt windows

set(QORVANE_FOLDERS platform platform/posix base profiles profiles/ui encode encode/ui tags app app/ui controls
  cli stand_in_encoder)

# Headers that only exist on POSIX systems or belong to an outside library.
set(QORVANE_PLATFORM_HEADERS
  "^(unistd|fcntl|spawn|poll|dirent|pthread|dlfcn|termios|pwd|grp|glob|syslog|signal|iconv|langinfo)\\.h$"
  "^(sys|linux|asm|netinet|arpa|bits)/"
  "^(taglib|dbus|canberra)")
set(QORVANE_QT_HEADERS "^Q[A-Za-z]*$" "^Qt[A-Za-z]*/")

# qorvane_enforce_layer(TARGET FILES path... FORBID regex...): the files of
# the target (its sources and headers) may include nothing that matches.
function(qorvane_enforce_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "FILES;FORBID")
  set(rules ${CMAKE_CURRENT_BINARY_DIR}/${target}_layer_rules.cmake)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_layer.stamp)
  string(REPLACE "\\" "\\\\" forbidden "${LAYER_FORBID}")
  string(REPLACE ";" "\" \"" forbidden "${forbidden}")
  file(GENERATE OUTPUT ${rules} CONTENT
"set(LAYER \"${target}\")
set(FILES \"${LAYER_FILES}\")
set(FORBIDDEN \"${forbidden}\")
")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DRULES=${rules} -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${rules} ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake ${LAYER_FILES}
    COMMENT "Checking what the ${target} layer includes"
    VERBATIM)
  add_custom_target(${target}_layer_check DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layer_check)
endfunction()

# qorvane_layer(TARGET FILES file... [SEES folder...] [LINKS target...] [QT] [PLATFORM])
# A static library of the listed files (relative to the current folder). It
# may include its own folder and the folders it SEES, Qt headers only with
# QT, platform and outside-library headers only with PLATFORM.
function(qorvane_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "QT;PLATFORM" "" "FILES;SEES;LINKS")
  list(TRANSFORM ARG_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  add_library(${target} STATIC ${ARG_FILES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC qorvane_options ${ARG_LINKS})
  file(RELATIVE_PATH own ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(forbid "")
  foreach(folder IN LISTS QORVANE_FOLDERS)
    if(NOT folder STREQUAL own AND NOT folder IN_LIST ARG_SEES)
      list(APPEND forbid "^${folder}/")
    endif()
  endforeach()
  if(NOT ARG_QT)
    list(APPEND forbid ${QORVANE_QT_HEADERS})
  endif()
  if(NOT ARG_PLATFORM)
    list(APPEND forbid ${QORVANE_PLATFORM_HEADERS})
  endif()
  qorvane_enforce_layer(${target} FILES ${ARG_FILES} FORBID ${forbid})
endfunction()
