# Layers the build enforces. Each library target of the program is one
# layer; what a layer may not include is checked before it is compiled, so a
# forbidden include fails the build instead of waiting for a review.

# Headers that only exist on POSIX systems or belong to an outside library:
# the portable core and the windows' shared rules must not need them.
set(QORVANE_PLATFORM_HEADERS
  "^(unistd|fcntl|spawn|poll|dirent|pthread|dlfcn|termios|pwd|grp|glob|syslog|signal|iconv|langinfo)\\.h$"
  "^(sys|linux|asm|netinet|arpa|bits)/"
  "^(taglib|dbus|canberra)"
  "^canberra\\.h$")
set(QORVANE_QT_HEADERS "^Q[A-Za-z]*$" "^Qt[A-Za-z]*/")

# qorvane_enforce_layer(TARGET FORBID regex...): the target's sources and
# headers (as listed in its SOURCES) may include nothing that matches.
function(qorvane_enforce_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "FORBID")
  set(rules ${CMAKE_CURRENT_BINARY_DIR}/${target}_layer_rules.cmake)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_layer.stamp)
  string(REPLACE "\\" "\\\\" forbidden "${LAYER_FORBID}")
  string(REPLACE ";" "\" \"" forbidden "${forbidden}")
  file(GENERATE OUTPUT ${rules} CONTENT
"set(LAYER \"${target}\")
set(FILES \"$<JOIN:$<TARGET_PROPERTY:${target},SOURCES>,;>\")
set(FORBIDDEN \"${forbidden}\")
")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DRULES=${rules} -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${rules} ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake $<TARGET_PROPERTY:${target},SOURCES>
    COMMENT "Checking what the ${target} layer includes"
    VERBATIM COMMAND_EXPAND_LISTS)
  add_custom_target(${target}_layer_check DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layer_check)
endfunction()
