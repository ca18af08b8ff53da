# What `cmake --install` puts in place: the shared library (with its
# SOVERSION link), the public headers, the CMake package (Lexaro::lexaro),
# lexaro.pc, and the sample files under share/lexaro/samples. The
# command-line program installs itself from tools/. Everything is in the
# component "lexaro" (`cmake --install BUILD --component lexaro` installs
# only this library and its program); the Qt controls (Lexaro::controls,
# lexaro-controls.pc) and the demo install themselves, in the component
# "controls".
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LEXARO_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lexaro)
set(LEXARO_SAMPLES_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/lexaro/samples)

target_include_directories(lexaro PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_features(lexaro PUBLIC cxx_std_20)

install(TARGETS lexaro EXPORT LexaroTargets COMPONENT lexaro
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The Qt widgets' header belongs to the controls library, not to this one.
install(DIRECTORY include/lexaro DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT lexaro
  FILES_MATCHING PATTERN "*.h" PATTERN "controls.h" EXCLUDE)
install(EXPORT LexaroTargets NAMESPACE Lexaro:: DESTINATION ${LEXARO_CMAKE_INSTALL_DIR} COMPONENT lexaro)

configure_package_config_file(cmake/LexaroConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/LexaroConfig.cmake
  INSTALL_DESTINATION ${LEXARO_CMAKE_INSTALL_DIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR LEXARO_SAMPLES_INSTALL_DIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/LexaroConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LexaroConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/LexaroConfigVersion.cmake DESTINATION ${LEXARO_CMAKE_INSTALL_DIR}
  COMPONENT lexaro)

# lexaro.pc finds its prefix from its own place (${pcfiledir}), so that an
# installation with `cmake --install --prefix` elsewhere names itself.
file(RELATIVE_PATH LEXARO_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
string(REGEX REPLACE "/$" "" LEXARO_PC_TO_PREFIX "${LEXARO_PC_TO_PREFIX}")
set(LEXARO_PC_PREFIX "\${pcfiledir}/${LEXARO_PC_TO_PREFIX}")
set(LEXARO_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
set(LEXARO_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
configure_file(cmake/lexaro.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lexaro.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lexaro.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT lexaro)

install(DIRECTORY samples/ DESTINATION ${LEXARO_SAMPLES_INSTALL_DIR} COMPONENT lexaro
  FILES_MATCHING PATTERN "*.lxm" PATTERN "README.md")
