# The SDK for plug-in modules: `cmake --install BUILD --prefix DIR` lays out
#
#   DIR/bin/quelmhost                     the program; finds lib/ through its RPATH
#   DIR/lib/libQUELMres*.so               the four resource libraries
#   DIR/include/quelm/<layer>/...         every header, root-relative paths kept
#   DIR/lib/cmake/QUELM/                  find_package(QUELM): target QUELM::quelmhost
#   DIR/lib/pkgconfig/quelm.pc            the same for pkg-config
#
# A plug-in links QUELM::quelmhost: it gets the include root and C++20, and its
# library symbols stay undefined until quelmhost loads it and binds them to the
# program's exports.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QUELM_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/QUELM)
set(QUELM_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/quelm)

# Headers: each layer folder whole, so a subsystem folder added later is
# installed without touching this file. Tests, fuzzers and benchmarks live
# outside the layers and are not part of the SDK, nor is the window layer's
# private header (it needs the window system's headers).
foreach(layer IN LISTS QUELM_LAYER_FOLDERS)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${layer}/
          DESTINATION ${QUELM_INSTALL_INCLUDEDIR}/${layer}
          FILES_MATCHING PATTERN "*.h" PATTERN "KWxPrivate.h" EXCLUDE)
endforeach()

# The installed program finds the resource libraries beside it in ../lib
# wherever the prefix is moved to.
file(RELATIVE_PATH quelm_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(quelmhost PROPERTIES INSTALL_RPATH "$ORIGIN/${quelm_bin_to_lib}")
target_include_directories(quelmhost INTERFACE $<INSTALL_INTERFACE:${QUELM_INSTALL_INCLUDEDIR}>)
target_compile_features(quelmhost INTERFACE cxx_std_20)

install(TARGETS quelmhost EXPORT QUELMTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS QUELMres QUELMres2 QUELMresCHS QUELMres2CHS
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT QUELMTargets NAMESPACE QUELM:: DESTINATION ${QUELM_INSTALL_CMAKEDIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QUELMConfig.cmake.in
  ${PROJECT_BINARY_DIR}/QUELMConfig.cmake
  INSTALL_DESTINATION ${QUELM_INSTALL_CMAKEDIR}
  PATH_VARS QUELM_INSTALL_INCLUDEDIR CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QUELMConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QUELMConfig.cmake ${PROJECT_BINARY_DIR}/QUELMConfigVersion.cmake
        DESTINATION ${QUELM_INSTALL_CMAKEDIR})

# The .pc file finds the prefix from its own place, like the program.
file(RELATIVE_PATH QUELM_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" QUELM_PC_TO_PREFIX "${QUELM_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/quelm.pc.in ${PROJECT_BINARY_DIR}/quelm.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quelm.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Python module quelm goes to the prefix's own site folder
# (DIR/lib/python3.X/site-packages): PYTHONPATH=that folder imports it.
if(TARGET quelm_python)
  execute_process(
    COMMAND ${Python3_EXECUTABLE} -c
            "import sysconfig; print(sysconfig.get_path('platlib', 'posix_prefix', vars={'platbase': '/', 'base': '/'}).lstrip('/'))"
    OUTPUT_VARIABLE QUELM_INSTALL_PYTHONDIR OUTPUT_STRIP_TRAILING_WHITESPACE)
  install(TARGETS quelm_python LIBRARY DESTINATION ${QUELM_INSTALL_PYTHONDIR})
endif()
