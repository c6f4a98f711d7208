# One helper per kind of target, so every target is declared the same way:
# a library or test binary is made of every .cpp of its folder, is compiled
# with warnings on, and a helper refuses an argument it does not know (a typo
# would otherwise be dropped in silence).

include_guard(GLOBAL)
include(GoogleTest)

function(pux_refuse_unparsed helper)
  if(ARGN)
    message(FATAL_ERROR "${helper}: unknown arguments: ${ARGN}")
  endif()
endfunction()

# Tables of cases and column lists name only the members they set and leave
# the others to their declared defaults, so a partial initializer is no fault.
function(pux_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
  endif()
endfunction()

# The .cpp files of folder (relative to the current source folder, default
# the folder itself), less the EXCLUDE ones; new files join on the next build.
function(pux_sources out folder)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  if(folder)
    set(dir ${dir}/${folder})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(excluded IN LISTS ARGN)
    list(REMOVE_ITEM sources ${dir}/${excluded})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# pux_add_library(NAME [EXCLUDE file...] [DEPENDS target...]): the static
# library of one subsystem, made of the .cpp files of the current folder; with
# no sources it is an interface library that only carries the subsystem's
# dependencies until its first unit lands.
function(pux_add_library name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "EXCLUDE;DEPENDS")
  pux_refuse_unparsed(pux_add_library ${ARG_UNPARSED_ARGUMENTS})
  pux_sources(sources "" ${ARG_EXCLUDE})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    pux_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# pux_add_executable(NAME SOURCES file... [DEPENDS target...]): a program or
# a benchmark (one or a few named files; not a subsystem folder).
function(pux_add_executable name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;DEPENDS")
  pux_refuse_unparsed(pux_add_executable ${ARG_UNPARSED_ARGUMENTS})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "pux_add_executable(${name}): SOURCES is empty")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  pux_warnings(${name})
endfunction()

# pux_add_test(NAME FOLDER folder [LEVEL kv|shell] [LIBS target...]
#              [BOTH_DATABASES]): one test binary made of the .cpp files of
# tests/<folder>. LEVEL kv tests the framework alone: it links the kv test
# support and nothing of the program above it; LEVEL shell (the default) adds
# the program's working context, reset around every test, and may start the
# pux binary. BOTH_DATABASES runs the tests a second time against the
# loopback server named by PUX_TEST_SERVER (skipped, with the reason, when no
# server is configured).
function(pux_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "BOTH_DATABASES" "FOLDER;LEVEL" "LIBS")
  pux_refuse_unparsed(pux_add_test ${ARG_UNPARSED_ARGUMENTS})
  if(NOT ARG_FOLDER)
    message(FATAL_ERROR "pux_add_test(${name}): FOLDER is missing")
  endif()
  if(NOT ARG_LEVEL)
    set(ARG_LEVEL shell)
  endif()
  pux_sources(sources ${ARG_FOLDER})
  if(NOT sources)
    message(FATAL_ERROR "pux_add_test(${name}): no .cpp file in tests/${ARG_FOLDER}")
  endif()
  if(ARG_LEVEL STREQUAL "kv")
    add_executable(${name} ${sources} ${PUX_TEST_SUPPORT_DIR}/PuxTestMain.cpp)
    target_link_libraries(${name} PRIVATE pux_test_support_kv ${ARG_LIBS})
  elseif(ARG_LEVEL STREQUAL "shell")
    add_executable(${name} ${sources} ${PUX_TEST_SUPPORT_DIR}/PuxShellTestMain.cpp)
    target_link_libraries(${name} PRIVATE pux_test_support ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE PUX_BINARY="$<TARGET_FILE:pux>")
    add_dependencies(${name} pux)
  else()
    message(FATAL_ERROR "pux_add_test(${name}): LEVEL is kv or shell, not ${ARG_LEVEL}")
  endif()
  pux_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "PUX_TEST_DB=embedded" LABELS embedded)
  if(ARG_BOTH_DATABASES)
    # 77: PuxTestDb::kSkipped, no server configured.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "server."
      PROPERTIES ENVIRONMENT "PUX_TEST_DB=server" LABELS server SKIP_RETURN_CODE 77)
  endif()
endfunction()
