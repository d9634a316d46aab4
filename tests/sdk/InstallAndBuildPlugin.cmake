# cmake -DBUILD_DIR=... -DSCRATCH=... -DMODULE_SOURCE=... -DGENERATOR=...
#       -DCXX_COMPILER=... [-DCONFIG=...] -P InstallAndBuildPlugin.cmake
#
# Installs BUILD_DIR into SCRATCH/install, moves the prefix to SCRATCH/moved
# (the program, the package files and the .pc file must find everything
# relative to themselves), builds the plug-in in MODULE_SOURCE against the
# moved prefix as a project of its own and runs it with the installed
# program. Anything that fails stops the script with a message.
cmake_minimum_required(VERSION 3.25)

function(run)
  cmake_parse_arguments(R "" "OUTPUT" "COMMAND" ${ARGN})
  execute_process(COMMAND ${R_COMMAND} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " shown "${R_COMMAND}")
    message(FATAL_ERROR "failed (${rc}): ${shown}\n${out}\n${err}")
  endif()
  if(R_OUTPUT)
    set(${R_OUTPUT} "${out}" PARENT_SCOPE)
  endif()
endfunction()

function(expect_file path)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "the SDK lacks ${path}")
  endif()
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/registry)
set(config_args "")
if(CONFIG)
  set(config_args --config ${CONFIG})
endif()
run(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${SCRATCH}/install ${config_args})
file(RENAME ${SCRATCH}/install ${SCRATCH}/moved)
set(prefix ${SCRATCH}/moved)

expect_file(${prefix}/bin/quelmhost)
foreach(lib QUELMres QUELMres2 QUELMresCHS QUELMres2CHS)
  expect_file(${prefix}/lib/lib${lib}.so)
endforeach()
expect_file(${prefix}/lib/cmake/QUELM/QUELMConfig.cmake)
expect_file(${prefix}/lib/pkgconfig/quelm.pc)
# Root-relative include paths hold under the one include root.
expect_file(${prefix}/include/quelm/core/application/KApplicationAbstract.h)
expect_file(${prefix}/include/quelm/storage/objectfile/KPersistance.h)
if(EXISTS ${MODULE_SOURCE}/../../containers/trees/KDataTreeItemRoot.h)
  expect_file(${prefix}/include/quelm/containers/trees/KDataTreeItemRoot.h)
endif()
file(GLOB_RECURSE stray RELATIVE ${prefix}/include/quelm ${prefix}/include/quelm/*_test.cpp ${prefix}/include/quelm/*.cpp)
if(stray)
  message(FATAL_ERROR "the SDK installs sources: ${stray}")
endif()

# The program must not reach back into the build folder for its libraries.
find_program(READELF readelf)
if(READELF)
  run(COMMAND ${READELF} -d ${prefix}/bin/quelmhost OUTPUT dynamic)
  if(NOT dynamic MATCHES "(RPATH|RUNPATH)[^\n]*\\$ORIGIN/../lib" OR dynamic MATCHES "${BUILD_DIR}")
    message(FATAL_ERROR "installed quelmhost has the wrong library path:\n${dynamic}")
  endif()
endif()

# pkg-config, when the machine has it, points into the moved prefix.
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  run(COMMAND ${PKG_CONFIG} --cflags quelm OUTPUT cflags)
  string(REGEX MATCH "-I([^ \n]+)" include_flag "${cflags}")
  if(NOT EXISTS "${CMAKE_MATCH_1}/platform/KString.h")
    message(FATAL_ERROR "pkg-config --cflags quelm gives '${cflags}', which does not reach the headers")
  endif()
  run(COMMAND ${PKG_CONFIG} --variable=quelmhost quelm OUTPUT host)
  string(STRIP "${host}" host)
  if(NOT EXISTS "${host}")
    message(FATAL_ERROR "pkg-config --variable=quelmhost quelm gives '${host}', which does not exist")
  endif()
endif()

# The plug-in, as an outside project: only the moved prefix is searched.
run(COMMAND ${CMAKE_COMMAND} -S ${MODULE_SOURCE} -B ${SCRATCH}/module -G ${GENERATOR}
            -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_BUILD_TYPE=RelWithDebInfo
            -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
            -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
run(COMMAND ${CMAKE_COMMAND} --build ${SCRATCH}/module)
file(GLOB module ${SCRATCH}/module/*quelm_testmodule*.so)
if(NOT module)
  message(FATAL_ERROR "the plug-in was not built in ${SCRATCH}/module")
endif()

set(host_env ${CMAKE_COMMAND} -E env QUELM_REGISTRY_DIR=${SCRATCH}/registry --unset=LD_LIBRARY_PATH)
run(COMMAND ${host_env} ${prefix}/bin/quelmhost --version OUTPUT version)
if(NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")
  message(FATAL_ERROR "installed quelmhost --version printed '${version}'")
endif()
run(COMMAND ${host_env} ${prefix}/bin/quelmhost info OUTPUT info)
if(NOT info MATCHES "Resource libraries: [^\n]*QUELMres2")
  message(FATAL_ERROR "installed quelmhost info printed:\n${info}")
endif()
run(COMMAND ${host_env} ${prefix}/bin/quelmhost --module ${module} OUTPUT result)
if(NOT result MATCHES "Module result: 0")
  message(FATAL_ERROR "the plug-in failed under the installed quelmhost:\n${result}")
endif()
message(STATUS "installed SDK: plug-in built and run\n${result}")
