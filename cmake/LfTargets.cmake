# Helpers for the project's own targets.

# lf_add_library(name [sources...] [EXCLUDE files...]): a static library of one source
# folder; sources default to every .cpp of the folder, so new files need no edit here.
# EXCLUDE takes files out of that default, for a folder that holds two libraries.
function(lf_add_library name)
  cmake_parse_arguments(L "" "" "EXCLUDE" ${ARGN})
  set(sources ${L_UNPARSED_ARGUMENTS})
  if(NOT sources)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  foreach(excluded ${L_EXCLUDE})
    get_filename_component(excluded ${excluded} ABSOLUTE)
    list(REMOVE_ITEM sources ${excluded})
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# lf_add_test(name SOURCES ... LIBS ... [GUI] [THREADS] [SERIAL])
# One GoogleTest program; each test case becomes a CTest test. GUI tests get the
# wx test main and the "gui" label; the others run with no display at all.
# THREADS marks a program whose tests run threads: they carry the "threads" label, and
# scripts/test.sh runs them once more under ThreadSanitizer (target thread_tests builds
# just these programs).
# SERIAL tests run while no other test runs (synthetic pointer input goes to whatever
# window lies under the pointer on the shared X server).
# CLIPBOARD programs use the X clipboard, which every test on the server shares: their
# tests never run at the same time as another program's clipboard tests.
if(NOT TARGET thread_tests)
  add_custom_target(thread_tests)
endif()
function(lf_add_test name)
  cmake_parse_arguments(T "GUI;THREADS;SERIAL;CLIPBOARD" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  # GCC 12 at -O2 reports string assignments inside test bodies as overlapping copies
  # (a false -Wrestrict); the programs keep the warning as an error.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -Wno-restrict)
  endif()
  target_compile_definitions(${name} PRIVATE
    LF_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    LF_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  if(T_GUI)
    target_link_libraries(${name} PRIVATE lf_test_gui_main ${T_LIBS})
    set(labels gui)
    # GTK and fontconfig keep caches for the life of the process.
    set(env "ASAN_OPTIONS=detect_leaks=0")
  else()
    target_link_libraries(${name} PRIVATE lf_test_main ${T_LIBS})
    set(labels unit)
    set(env "DISPLAY=")
  endif()
  set(serial FALSE)
  if(T_SERIAL)
    set(serial TRUE)
  endif()
  set(lock "")
  if(T_CLIPBOARD)
    set(lock RESOURCE_LOCK x_clipboard)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name}
    PROPERTIES LABELS "${labels}" ENVIRONMENT "${env}" RUN_SERIAL ${serial} ${lock}
    DISCOVERY_TIMEOUT 60)
  if(T_THREADS)
    # Discovery passes one value per property; the second label is set on the
    # discovered tests (listed in <name>_TESTS) by a script CTest reads after them.
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_threads_label.cmake)
    file(WRITE ${script}
      "if(DEFINED ${name}_TESTS)\n"
      "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${labels};threads\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
    add_dependencies(thread_tests ${name})
  endif()
endfunction()
