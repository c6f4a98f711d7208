# One helper per kind of target, so every subsystem is declared the same way.

# pux_add_library(NAME SOURCES ... DEPENDS ...): a static library of one
# subsystem; with no sources it is an interface library that only carries
# the subsystem's dependencies until its first unit lands.
function(pux_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    if(MSVC)
      target_compile_options(${name} PRIVATE /W4 /utf-8)
    else()
      target_compile_options(${name} PRIVATE -Wall -Wextra)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()
