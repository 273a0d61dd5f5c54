# vorpex_module(<Name>
#     [DIR <folder>]            folder holding Public/ and Private/ (default: the calling folder)
#     [TESTS_DIR <folder>]      folder holding the module's tests (default: <DIR>/Tests)
#     [DEPENDS <module>...]     modules whose public headers this module's public headers use
#     [PRIVATE_DEPENDS <module>...]  modules used only inside Private/
#     [LIBS <target>...]        external libraries used inside Private/
#     [TEST_LIBS <target>...]   extra libraries for the test program
#     [TEST_MAIN <target>]      library with the test program's main (default: GoogleTest's)
#     [REFLECTED]               run HeaderTool on the headers of Public/ and Private/ and of the tests
#     [REFLECTED_TESTS])        run HeaderTool on the tests' headers only
#
# Declares one runtime or plug-in module: a shared library built from Private/**.cpp whose
# Public/ folder is its include root and which `cmake --install` puts in the library folder,
# plus, when tests are on and the tests folder exists, a GoogleTest program <Name>Tests
# registered with CTest (tests are named <Name>.<Suite>.<Test>).
# Like the engine, each module exports <NAME>_API for its public declarations.
#
# Reflection: with REFLECTED, HeaderTool reads every header of Public/ and Private/ (package
# /Script/<Name>, include roots Public and Private) and writes X.generated.h and X.gen.cpp for
# each header X.h into <binary dir>/Generated/<Name>; the .gen.cpp files are compiled into the
# library and the folder is a PUBLIC include directory, so `#include "X.generated.h"` works in
# the module and in everything using it. The module then also depends on CoreUObject. The
# tests' headers get the same treatment for <Name>Tests (package /Script/<Name>Tests, include
# root the tests folder, output <binary dir>/Generated/<Name>Tests). REFLECTED_TESTS does only
# the tests' part, for a module whose own classes are registered by hand (CoreUObject itself).
# HeaderTool rewrites a generated file only when its text changes, so editing a header
# recompiles only what its generated code touches.
# Test properties for the sanitizer builds: leaks inside the Vulkan layer and driver are
# suppressed (cmake/lsan.supp says which). They go in a property of their own: test discovery
# splits a list-valued ENVIRONMENT into separate properties.
function(vorpex_sanitizer_test_properties out_var)
  set(properties)
  if(VORPEX_SANITIZE)
    set(properties ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp")
  endif()
  set(${out_var} ${properties} PARENT_SCOPE)
endfunction()

function(vorpex_module name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "REFLECTED;REFLECTED_TESTS" "DIR;TESTS_DIR;TEST_MAIN" "DEPENDS;PRIVATE_DEPENDS;LIBS;TEST_LIBS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vorpex_module(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_DIR)
    set(ARG_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  if(NOT ARG_TESTS_DIR)
    set(ARG_TESTS_DIR "${ARG_DIR}/Tests")
  endif()
  if(NOT ARG_TEST_MAIN)
    set(ARG_TEST_MAIN GTest::gtest_main)
  endif()

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${ARG_DIR}/Private/*.cpp")
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS "${ARG_DIR}/Public/*.h" "${ARG_DIR}/Private/*.h")
  add_library(${name} SHARED ${sources} ${headers})
  target_include_directories(${name}
    PUBLIC "${ARG_DIR}/Public"
    PRIVATE "${ARG_DIR}/Private")
  string(TOUPPER "${name}" upper)
  target_compile_definitions(${name} PUBLIC "${upper}_API=")
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS} ${ARG_LIBS})
  # Installed programs load the modules from the library folder, where each finds the others.
  set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${name} LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}")

  if(ARG_REFLECTED)
    vorpex_reflect(${name}
      MODULE ${name}
      OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}/Generated/${name}"
      SCOPE PUBLIC
      HEADERS ${headers}
      INCLUDE_ROOTS "${ARG_DIR}/Public" "${ARG_DIR}/Private")
    if(NOT name STREQUAL "CoreUObject")
      target_link_libraries(${name} PUBLIC CoreUObject)
    endif()
  endif()

  if(VORPEX_BUILD_TESTS AND EXISTS "${ARG_TESTS_DIR}")
    file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS "${ARG_TESTS_DIR}/*.cpp")
    if(test_sources)
      add_executable(${name}Tests ${test_sources})
      # Tests see the module's private headers too: they test its inside as well as its face.
      target_include_directories(${name}Tests PRIVATE "${ARG_TESTS_DIR}" "${ARG_DIR}/Private")
      target_link_libraries(${name}Tests PRIVATE ${name} ${ARG_TEST_LIBS} GTest::gtest ${ARG_TEST_MAIN})
      if(ARG_REFLECTED OR ARG_REFLECTED_TESTS)
        file(GLOB_RECURSE test_headers CONFIGURE_DEPENDS "${ARG_TESTS_DIR}/*.h")
        vorpex_reflect(${name}Tests
          MODULE ${name}Tests
          OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}/Generated/${name}Tests"
          SCOPE PRIVATE
          HEADERS ${test_headers}
          INCLUDE_ROOTS "${ARG_TESTS_DIR}")
        if(NOT name STREQUAL "CoreUObject")
          target_link_libraries(${name}Tests PRIVATE CoreUObject)
        endif()
      endif()
      # Every test runs under the Vulkan validation layer.
      vorpex_sanitizer_test_properties(sanitizer_properties)
      gtest_discover_tests(${name}Tests
        TEST_PREFIX "${name}."
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
        PROPERTIES LABELS "${name}" ENVIRONMENT "VORPEX_RHI_VALIDATION=1" ${sanitizer_properties})
    endif()
  endif()
endfunction()

# vorpex_reflect(<target> MODULE <name> OUTPUT_DIR <folder> SCOPE <PUBLIC|PRIVATE>
#     HEADERS <header>... INCLUDE_ROOTS <folder>...)
#
# Also for targets that are not modules (programs, benchmarks) whose headers declare
# reflected types.
#
# Runs HeaderTool on HEADERS and compiles the generated sources into target. The outputs of
# every header are listed up front (HeaderTool writes both files for each header, reflected or
# not), so the build knows them before the tool runs.
function(vorpex_reflect target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "MODULE;OUTPUT_DIR;SCOPE" "HEADERS;INCLUDE_ROOTS")
  if(NOT ARG_HEADERS)
    return()
  endif()
  set(outputs)
  set(generated_sources)
  set(seen_bases)
  foreach(header IN LISTS ARG_HEADERS)
    # HeaderTool names outputs after the file name without its last extension.
    get_filename_component(base "${header}" NAME_WLE)
    list(FIND seen_bases "${base}" previous)
    if(NOT previous EQUAL -1)
      list(GET ARG_HEADERS ${previous} previous_header)
      message(FATAL_ERROR "${ARG_MODULE}: ${previous_header} and ${header} have the same base name; their generated files would collide")
    endif()
    list(APPEND seen_bases "${base}")
    list(APPEND outputs "${ARG_OUTPUT_DIR}/${base}.generated.h" "${ARG_OUTPUT_DIR}/${base}.gen.cpp")
    list(APPEND generated_sources "${ARG_OUTPUT_DIR}/${base}.gen.cpp")
  endforeach()
  set(root_arguments)
  foreach(root IN LISTS ARG_INCLUDE_ROOTS)
    list(APPEND root_arguments --include-root "${root}")
  endforeach()

  add_custom_command(
    OUTPUT ${outputs}
    COMMAND HeaderTool --module "${ARG_MODULE}" --output "${ARG_OUTPUT_DIR}" ${root_arguments} ${ARG_HEADERS}
    DEPENDS HeaderTool ${ARG_HEADERS}
    COMMENT "HeaderTool: generating reflection code for ${ARG_MODULE}"
    VERBATIM)
  target_sources(${target} PRIVATE ${generated_sources})
  target_include_directories(${target} ${ARG_SCOPE} "${ARG_OUTPUT_DIR}")
endfunction()

# Lets a test target run the Khronos glTF validator (Tools/GltfValidator, installed by
# scripts/setup.sh) under node through Tools/GltfValidator/GltfValidation.h.
function(vorpex_use_gltf_validator target)
  find_program(VORPEX_NODE_EXECUTABLE node)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/Tools/GltfValidator")
  target_compile_definitions(${target} PRIVATE
    VORPEX_NODE_EXECUTABLE="${VORPEX_NODE_EXECUTABLE}"
    VORPEX_GLTF_VALIDATOR="${PROJECT_SOURCE_DIR}/Tools/GltfValidator/validate.mjs")
endfunction()
