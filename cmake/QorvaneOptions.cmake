# One interface target carries the language standard, warnings and sanitizer
# flags for every target of the project.
add_library(qorvane_options INTERFACE)
target_compile_features(qorvane_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(qorvane_options INTERFACE -Wall -Wextra -Wpedantic
  -Wnon-virtual-dtor -Wold-style-cast -Wshadow)
# GCC 12 reports false "restrict" overlaps inside std::string's operator+
# at -O2 and above (a known compiler bug); the warning is off for it alone.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(qorvane_options INTERFACE -Wno-restrict)
endif()
if(QORVANE_WERROR)
  target_compile_options(qorvane_options INTERFACE -Werror)
endif()
if(QORVANE_SANITIZE)
  target_compile_options(qorvane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(qorvane_options INTERFACE -fsanitize=address,undefined)
endif()
