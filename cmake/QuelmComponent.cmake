# Components and layers.
#
# The top-level folders are the layers, lowest first; a component's layer is
# the layer of the folder it lives in. A component may link only components of
# its own or a lower layer: quelm_verify_layers(), called once every layer has
# been added, stops the configuration otherwise. (Includes are held to the same
# rule by the layering test in tests/layering.)
set(QUELM_LAYER_FOLDERS platform resources core containers storage geometry numerics model ui host)
set(QUELM_LAYER_NUMBERS 0        0         1    2          3       4        5        6     7  8)
set(QUELM_COMPONENTS "" CACHE INTERNAL "")

# quelm_layer_of(DIR OUT): the layer number of a source folder, or -1 when it
# lies outside the layers (tests/, bench/, fuzz/).
function(quelm_layer_of dir out)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${dir})
  string(REGEX REPLACE "/.*" "" top "${rel}")
  list(FIND QUELM_LAYER_FOLDERS "${top}" index)
  if(index LESS 0)
    set(${out} -1 PARENT_SCOPE)
  else()
    list(GET QUELM_LAYER_NUMBERS ${index} layer)
    set(${out} ${layer} PARENT_SCOPE)
  endif()
endfunction()

# quelm_verify_layers(): fails configuration when a component links a
# component of a higher layer. Runs after all components exist, so that a link
# to a layer added later is caught too.
function(quelm_verify_layers)
  foreach(name IN LISTS QUELM_COMPONENTS)
    get_property(layer GLOBAL PROPERTY QUELM_LAYER_${name})
    get_property(deps GLOBAL PROPERTY QUELM_DEPS_${name})
    foreach(dep IN LISTS deps)
      if(dep IN_LIST QUELM_COMPONENTS)
        get_property(dep_layer GLOBAL PROPERTY QUELM_LAYER_${dep})
        if(dep_layer GREATER layer)
          message(FATAL_ERROR "${name} (layer ${layer}) links ${dep} of the higher layer ${dep_layer}: "
                              "dependencies point down only (docs/architecture.md)")
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()

# quelm_component(NAME [GUI] [DEPS ...] [TEST_DEPS ...])
#   A static library of every *.cpp in the current folder except *_test.cpp,
#   linked to DEPS, and, when the folder holds *_test.cpp files, a test program
#   NAME_tests run by CTest and linked to TEST_DEPS as well. GUI: the tests
#   open windows and run on a virtual display (quelm_gui_test). Files named
#   *_guitest.cpp form a second program, NAME_gui_tests, run that way, for a
#   folder whose other tests need no display.
function(quelm_component name)
  cmake_parse_arguments(QC "GUI" "" "DEPS;TEST_DEPS" ${ARGN})
  quelm_layer_of(${CMAKE_CURRENT_SOURCE_DIR} layer)
  if(layer LESS 0)
    message(FATAL_ERROR "component ${name} lies outside the layer folders")
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB guitests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_guitest.cpp)
  if(tests)
    list(REMOVE_ITEM srcs ${tests})
  endif()
  if(guitests)
    list(REMOVE_ITEM srcs ${guitests})
  endif()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${QC_DEPS})
  else()  # headers only, so far
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${QC_DEPS})
  endif()
  set_property(GLOBAL PROPERTY QUELM_LAYER_${name} ${layer})
  set_property(GLOBAL PROPERTY QUELM_DEPS_${name} ${QC_DEPS} ${QC_TEST_DEPS})
  set(QUELM_COMPONENTS ${QUELM_COMPONENTS} ${name} CACHE INTERNAL "")
  if(tests AND QC_GUI)
    quelm_test_program(${name}_tests GUI SOURCES ${tests} LIBS ${name} ${QC_TEST_DEPS})
  elseif(tests)
    quelm_test_program(${name}_tests SOURCES ${tests} LIBS ${name} ${QC_TEST_DEPS})
  endif()
  if(guitests)
    quelm_test_program(${name}_gui_tests GUI SOURCES ${guitests} LIBS ${name} ${QC_TEST_DEPS})
  endif()
endfunction()

# quelm_test_program(NAME SOURCES ... LIBS ...)
#   A GoogleTest program whose libraries are linked whole, so that the resource
#   libraries (which resolve the resource chain from the program that loads
#   them) find every platform symbol they need.
#   GUI: the program opens windows. It gets the test environment of
#   tests/support/KGuiTestEnvironment.cpp and runs as one CTest test under
#   quelm_gui_test.
function(quelm_test_program name)
  cmake_parse_arguments(QT "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(QT_GUI)
    list(APPEND QT_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/KGuiTestEnvironment.cpp)
  endif()
  add_executable(${name} ${QT_SOURCES})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} quelm_test_support GTest::gtest GTest::gmock Threads::Threads)
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  if(QT_GUI)
    target_link_libraries(${name} PRIVATE quelm_windows)
    quelm_gui_test(${name} $<TARGET_FILE:${name}>)
  else()
    # No display for tests that need none, so that nothing they do can open
    # a window and wait for a user.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QUELM_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
                 ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
  endif()
endfunction()

# quelm_gui_test(NAME COMMAND...)
#   A CTest test labelled "gui" that runs COMMAND on a virtual display of its
#   own (xvfb-run -a, a free display number). Without xvfb-run the test is
#   reported as skipped, with the reason, and never as passed.
find_program(QUELM_XVFB_RUN xvfb-run)
function(quelm_gui_test name)
  if(QUELM_XVFB_RUN)
    add_test(NAME ${name} COMMAND ${QUELM_XVFB_RUN} -a -s "-screen 0 1280x1024x24" ${ARGN})
  else()
    add_test(NAME ${name} COMMAND sh -c "echo 'xvfb-run not found: ${name} needs a virtual display and was not run'; exit 77")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  # NO_AT_BRIDGE: no accessibility bus for a display nobody reads. Under the
  # sanitizers the leaks the window system keeps at exit are suppressed by
  # library name (tests/support/lsan-gui.supp).
  set(environment "QUELM_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data" "NO_AT_BRIDGE=1")
  if(QUELM_SANITIZE)
    list(APPEND environment "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan-gui.supp")
  endif()
  set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT "${environment}")
endfunction()
