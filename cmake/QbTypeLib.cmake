# qb_typelib(TARGET IDL file.idl)
#
# One IDL file gives a target three things, all from widl, so they cannot disagree:
#   - the type library, embedded in the target as resource TYPELIB 1 (registration and IDispatch
#     read it there);
#   - the C++ interface header <name>.h, whose vtable slot order is the library's member order;
#   - <name>_i.c, the definitions of the IIDs, CLSIDs and LIBID.
# The base IDL files widl imports (unknwn.idl, oaidl.idl ...) come from Debian's libwine-dev;
# importlib("stdole2.tlb") finds Wine's stdole2.tlb.

enable_language(RC)

find_program(QB_WIDL NAMES ${QB_MINGW_TRIPLET}-widl widl REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(QB_WIDL_TARGET --win32)
else()
  set(QB_WIDL_TARGET --win64)
endif()

set(qb_wine_unpacked ${CMAKE_BINARY_DIR}/libwine-dev)
find_path(QB_WINE_IDL_DIR oaidl.idl
  PATHS /usr/include/wine/wine/windows ${qb_wine_unpacked}/usr/include/wine/wine/windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QB_WINE_IDL_DIR)
  # Not installed (scripts/setup.sh installs it): unpack the package into the build folder instead.
  file(MAKE_DIRECTORY ${qb_wine_unpacked})
  execute_process(COMMAND apt-get download libwine-dev WORKING_DIRECTORY ${qb_wine_unpacked}
    RESULT_VARIABLE downloaded OUTPUT_QUIET ERROR_QUIET)
  file(GLOB qb_wine_debs ${qb_wine_unpacked}/libwine-dev_*.deb)
  foreach(deb ${qb_wine_debs})
    execute_process(COMMAND dpkg-deb -x ${deb} ${qb_wine_unpacked})
  endforeach()
  unset(QB_WINE_IDL_DIR CACHE)
  find_path(QB_WINE_IDL_DIR oaidl.idl PATHS ${qb_wine_unpacked}/usr/include/wine/wine/windows
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QB_WINE_IDL_DIR)
    message(FATAL_ERROR "widl needs the base IDL files of libwine-dev: install it (scripts/setup.sh)")
  endif()
endif()

find_path(QB_STDOLE2_DIR stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
        /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QB_STDOLE2_DIR)
  message(FATAL_ERROR "widl needs Wine's stdole2.tlb: install wine (scripts/setup.sh)")
endif()

function(qb_typelib target)
  cmake_parse_arguments(ARG "" "IDL" "" ${ARGN})
  get_filename_component(idl ${ARG_IDL} ABSOLUTE)
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idl_dir ${idl} DIRECTORY)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_typelib)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(
    OUTPUT ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c
    COMMAND ${QB_WIDL} ${QB_WIDL_TARGET} -I${QB_WINE_IDL_DIR} -I${idl_dir} -L${QB_STDOLE2_DIR}
            -t -T ${out}/${name}.tlb -h -H ${out}/${name}.h -u -U ${out}/${name}_i.c ${idl}
    DEPENDS ${idl}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  file(WRITE ${out}/${name}_typelib.rc "1 TYPELIB \"${out}/${name}.tlb\"\n")
  set_source_files_properties(${out}/${name}_typelib.rc PROPERTIES OBJECT_DEPENDS ${out}/${name}.tlb)
  target_sources(${target} PRIVATE ${out}/${name}.h ${out}/${name}_i.c ${out}/${name}_typelib.rc)
  target_include_directories(${target} PRIVATE ${out})
endfunction()
