# Helpers shared by every folder's CMakeLists.txt.
#
#   qb_library(NAME [PLATFORM_FREE] SOURCES ... [DEPENDS ...])
#   qb_test(NAME [PLATFORM_FREE] SOURCES ... [DEPENDS ...] [RESOURCES file...])
#   qb_fuzzer(NAME SOURCES ... [DEPENDS ...])          native build only
#   qb_program(NAME [WIN32] SOURCES ... [DEPENDS ...])  Windows build only
#   qb_module(NAME SOURCES ... [DEPENDS ...] [DEF file] [SUFFIX .ax])  a DLL, Windows build only
#   qb_script_test(NAME SERVER target CLSID {..} PROGID name SCRIPT file EVENTS n CLIENTS n)
#       a JScript or VBScript client under cscript against a registered out-of-process server
#
# PLATFORM_FREE targets build in both builds; the rest only in the Windows build.

set(QB_SOURCE_ROOT ${CMAKE_SOURCE_DIR})
# Programs, DLLs and test executables land in one folder, so tests find the modules they load
# beside themselves, as the programs do on a user's machine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(QB_NATIVE)
  set(QB_WARNINGS -Wall -Wextra)
  set(QB_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${QB_WARNINGS} ${QB_SANITIZE} -g)
  add_link_options(${QB_SANITIZE})
else()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -gdwarf-4)
  # Without a static runtime Wine fails to start the programs (exit 53 or c0000135).
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

set(QB_TEST_FLAGS -D_GLIBCXX_ASSERTIONS)
if(NOT QB_NATIVE)
  list(APPEND QB_TEST_FLAGS -fsanitize=undefined -fsanitize-undefined-trap-on-error)
endif()

function(qb_add_all_subdirectories root)
  if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${root})
    return()
  endif()
  file(GLOB_RECURSE lists RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${root}/CMakeLists.txt)
  list(SORT lists)
  foreach(list ${lists})
    get_filename_component(dir ${list} DIRECTORY)
    add_subdirectory(${CMAKE_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/${dir})
  endforeach()
endfunction()

function(qb_setup_googletest)
  set(gtest_root /usr/src/googletest)
  if(NOT EXISTS ${gtest_root}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${gtest_root}: install Debian's googletest package")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${gtest_root} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endfunction()

function(qb_library name)
  cmake_parse_arguments(ARG "PLATFORM_FREE" "" "SOURCES;DEPENDS" ${ARGN})
  if(QB_NATIVE AND NOT ARG_PLATFORM_FREE)
    return()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${QB_SOURCE_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(QB_NATIVE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Fuzzers find their way only through code built with coverage; qb_fuzzer instruments the
    # fuzzer's own sources, the libraries it links need it too.
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# The same Wine environment the test script sets, so ctest can also be run by hand.
function(qb_wine_test_environment name)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(wine_arch win32)
  else()
    set(wine_arch win64)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEARCH=${wine_arch};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=\\;winedbg.exe=d")
endfunction()

function(qb_test name)
  cmake_parse_arguments(ARG "PLATFORM_FREE" "TIMEOUT" "SOURCES;DEPENDS;LABELS" ${ARGN})
  if(QB_NATIVE AND NOT ARG_PLATFORM_FREE)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${QB_TEST_FLAGS})
  target_include_directories(${name} PRIVATE ${QB_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} gmock gtest_main)
  target_compile_definitions(${name} PRIVATE QB_TEST_DATA_DIR="${QB_SOURCE_ROOT}/tests/data")
  # One ctest entry per program: discovering every case separately costs a Wine start each.
  if(QB_NATIVE)
    add_test(NAME ${name} COMMAND ${name})
  else()
    add_test(NAME ${name} COMMAND bash ${QB_SOURCE_ROOT}/cmake/run_wine_test.sh ${QB_WINE} $<TARGET_FILE:${name}>)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(NOT QB_NATIVE)
    qb_wine_test_environment(${name})
    # Quillbay's first start in the shared prefix wipes the user's work files (tests/app/main).
    set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED quillbay_first_start)
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

function(qb_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT QB_NATIVE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${QB_SOURCE_ROOT})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
endfunction()

function(qb_program name)
  cmake_parse_arguments(ARG "WIN32" "" "SOURCES;DEPENDS" ${ARGN})
  if(QB_NATIVE)
    return()
  endif()
  if(ARG_WIN32)
    add_executable(${name} WIN32 ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -municode)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -municode)
  endif()
  target_include_directories(${name} PRIVATE ${QB_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
endfunction()

function(qb_module name)
  cmake_parse_arguments(ARG "" "DEF;SUFFIX" "SOURCES;DEPENDS" ${ARGN})
  if(QB_NATIVE)
    return()
  endif()
  add_library(${name} SHARED ${ARG_SOURCES} ${ARG_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(ARG_SUFFIX)
    set_target_properties(${name} PROPERTIES SUFFIX ${ARG_SUFFIX})
  endif()
  if(ARG_DEF)
    # The .def file names the undecorated stdcall exports COM and the loaders look up.
    target_link_options(${name} PRIVATE -Wl,--kill-at)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      # Binding an undecorated .def name to its name@N symbol is what the file is for: no warning.
      target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
    endif()
  endif()
  target_include_directories(${name} PRIVATE ${QB_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
endfunction()

# A benchmark program (not a test): prints its figures; scripts/bench.sh runs every one.
function(qb_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(QB_NATIVE)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME bench_${name})
  target_include_directories(${name} PRIVATE ${QB_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} psapi)
endfunction()

# Registers the server program of target SERVER, runs CLIENTS copies of SCRIPT at once under Wine's
# cscript (each must report EVENTS events received in order), checks that the server ends, and
# unregisters it; cmake/run_script_test.sh does the work with cmake/script_client_support.sh.
function(qb_script_test name)
  cmake_parse_arguments(ARG "" "SERVER;CLSID;PROGID;SCRIPT;EVENTS;CLIENTS;TIMEOUT" "" ${ARGN})
  if(QB_NATIVE)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name}
    COMMAND bash ${QB_SOURCE_ROOT}/cmake/run_script_test.sh ${QB_WINE} $<TARGET_FILE:${ARG_SERVER}>
            ${ARG_CLSID} ${ARG_PROGID} ${ARG_SCRIPT} ${ARG_EVENTS} ${ARG_CLIENTS}
            ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  qb_wine_test_environment(${name})
endfunction()
