# quelm_component(NAME DIR [DEPS ...])
#   A static library of every *.cpp in DIR except *_test.cpp, linked to DEPS,
#   and, when DIR holds *_test.cpp files, a test program NAME_tests run by CTest.
# Components are the unit of layering: a component links only to components of
# its own or lower layers.
set(QUELM_COMPONENTS "" CACHE INTERNAL "")

function(quelm_component name)
  cmake_parse_arguments(QC "" "" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(tests)
    list(REMOVE_ITEM srcs ${tests})
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
  set(QUELM_COMPONENTS ${QUELM_COMPONENTS} ${name} CACHE INTERNAL "")
  if(tests)
    quelm_test_program(${name}_tests SOURCES ${tests} LIBS ${name} ${QC_TEST_DEPS})
  endif()
endfunction()

# quelm_test_program(NAME SOURCES ... LIBS ...)
#   A GoogleTest program whose libraries are linked whole, so that the resource
#   libraries (which resolve the resource chain from the program that loads
#   them) find every platform symbol they need.
function(quelm_test_program name)
  cmake_parse_arguments(QT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${QT_SOURCES})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} quelm_test_support GTest::gtest GTest::gmock Threads::Threads)
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QUELM_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
