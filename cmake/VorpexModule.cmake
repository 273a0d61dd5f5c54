# vorpex_module(<Name>
#     [DIR <folder>]            folder holding Public/ and Private/ (default: the calling folder)
#     [TESTS_DIR <folder>]      folder holding the module's tests (default: <DIR>/Tests)
#     [DEPENDS <module>...]     modules whose public headers this module's public headers use
#     [PRIVATE_DEPENDS <module>...]  modules used only inside Private/
#     [LIBS <target>...]        external libraries used inside Private/
#     [TEST_LIBS <target>...])  extra libraries for the test program
#
# Declares one runtime or plug-in module: a shared library built from Private/**.cpp whose
# Public/ folder is its include root, plus, when tests are on and the tests folder exists,
# a GoogleTest program <Name>Tests registered with CTest (tests are named <Name>.<Suite>.<Test>).
# Like the engine, each module exports <NAME>_API for its public declarations.
function(vorpex_module name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "DIR;TESTS_DIR" "DEPENDS;PRIVATE_DEPENDS;LIBS;TEST_LIBS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vorpex_module(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_DIR)
    set(ARG_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  if(NOT ARG_TESTS_DIR)
    set(ARG_TESTS_DIR "${ARG_DIR}/Tests")
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

  if(VORPEX_BUILD_TESTS AND EXISTS "${ARG_TESTS_DIR}")
    file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS "${ARG_TESTS_DIR}/*.cpp")
    if(test_sources)
      add_executable(${name}Tests ${test_sources})
      target_include_directories(${name}Tests PRIVATE "${ARG_TESTS_DIR}")
      target_link_libraries(${name}Tests PRIVATE ${name} ${ARG_TEST_LIBS} GTest::gtest GTest::gtest_main)
      gtest_discover_tests(${name}Tests
        TEST_PREFIX "${name}."
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
        PROPERTIES LABELS "${name}")
    endif()
  endif()
endfunction()
