# The layout programs and their data share, installed (`cmake --install BUILD --prefix DIR`)
# and in the build tree alike:
#   bin/<program>                   the programs (vorpex_program)
#   lib/lib<Module>.so              the runtime and plug-in modules (vorpex_module)
#   share/vorpex/Plugins/Vorpex/    the plug-in's descriptor and shaders
#   share/vorpex/Samples/Human/     the bundled sample project
# A program finds its data from its own location (Programs/VorpexHost's FProgramLayout), so
# nothing about the source tree is compiled into it. In the build tree share/vorpex links to
# the source folders, so edited shaders and sample files are seen without a build.

# The folders below the build tree or the install prefix.
set(VORPEX_DATA_SUBDIR "${CMAKE_INSTALL_DATADIR}/vorpex")
set(VORPEX_BUILD_PROGRAM_DIR "${PROJECT_BINARY_DIR}/${CMAKE_INSTALL_BINDIR}")
set(VORPEX_BUILD_DATA_DIR "${PROJECT_BINARY_DIR}/${VORPEX_DATA_SUBDIR}")
# The data folder and the library folder as seen from the program folder ("../share/vorpex").
file(RELATIVE_PATH VORPEX_DATA_FROM_PROGRAMS "/${CMAKE_INSTALL_BINDIR}" "/${VORPEX_DATA_SUBDIR}")
file(RELATIVE_PATH VORPEX_LIBRARIES_FROM_PROGRAMS "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")

# vorpex_program(<target>)
#
# Makes an executable one of the programs: built into the build tree's bin/ and installed into
# bin/, where it loads the modules from lib/.
function(vorpex_program target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${VORPEX_BUILD_PROGRAM_DIR}"
    INSTALL_RPATH "$ORIGIN/${VORPEX_LIBRARIES_FROM_PROGRAMS}")
  install(TARGETS ${target} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endfunction()

# vorpex_program_data(<path below share/vorpex> <source file or folder>...)
#
# Puts source files or folders into the programs' data folder: linked into the build tree now,
# copied by the install.
function(vorpex_program_data subdir)
  file(MAKE_DIRECTORY "${VORPEX_BUILD_DATA_DIR}/${subdir}")
  foreach(source IN LISTS ARGN)
    get_filename_component(leaf "${source}" NAME)
    file(CREATE_LINK "${source}" "${VORPEX_BUILD_DATA_DIR}/${subdir}/${leaf}" SYMBOLIC)
    if(IS_DIRECTORY "${source}")
      install(DIRECTORY "${source}" DESTINATION "${VORPEX_DATA_SUBDIR}/${subdir}")
    else()
      install(FILES "${source}" DESTINATION "${VORPEX_DATA_SUBDIR}/${subdir}")
    endif()
  endforeach()
endfunction()
