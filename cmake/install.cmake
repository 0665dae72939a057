# The install tree: bin/member-terminal; lib/ with the framework (versioned soname) and the module
# folder lib/member-terminal/modules; include/member-framework/ with the framework headers; the
# CMake package lib/cmake/MemberFramework; the schema as plain SQL under share/member-terminal/.
include(CMakePackageConfigHelpers)

install(TARGETS member-terminal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS member_framework EXPORT MemberFrameworkTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS member_module LIBRARY DESTINATION ${MEMBER_MODULE_INSTALL_DIR})
set_target_properties(member-terminal PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set_target_properties(member_module PROPERTIES INSTALL_RPATH "$ORIGIN/../..")

# Headers a module or host author includes; the backends' own stay inside the library.
file(GLOB_RECURSE headers RELATIVE ${PROJECT_SOURCE_DIR}/framework CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/framework/*.h)
list(FILTER headers EXCLUDE REGEX "(pg_connection|sqlite_connection|backend_support|dv_impl)\\.h$")
set(include_dir ${CMAKE_INSTALL_INCLUDEDIR}/member-framework)
foreach(h IN LISTS headers)
  get_filename_component(sub ${h} DIRECTORY)
  install(FILES framework/${h} DESTINATION ${include_dir}/framework/${sub})
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/include/framework/version.h DESTINATION ${include_dir}/framework)

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/MemberFramework)
install(EXPORT MemberFrameworkTargets NAMESPACE MemberFramework:: DESTINATION ${cmake_dir})
configure_package_config_file(cmake/MemberFrameworkConfig.cmake.in
  ${PROJECT_BINARY_DIR}/MemberFrameworkConfig.cmake INSTALL_DESTINATION ${cmake_dir}
  PATH_VARS MEMBER_MODULE_INSTALL_DIR MEMBER_SCHEMA_INSTALL_DIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/MemberFrameworkConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/MemberFrameworkConfig.cmake
        ${PROJECT_BINARY_DIR}/MemberFrameworkConfigVersion.cmake DESTINATION ${cmake_dir})

install(FILES ${MEMBER_SCHEMA_FILES} DESTINATION ${MEMBER_SCHEMA_INSTALL_DIR})

# Debian package: library dependencies computed from the binaries; the Song-style CJK font the
# windows ask for and Qt's platform plugins (offscreen, xcb) named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME member-terminal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Point-of-sale member module: framework library, module plugin and demo terminal")
set(CPACK_PACKAGE_CONTACT "Member module developers <member-terminal@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/framework)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, qt6-qpa-plugins")
# Qt's own dialogs and buttons in Chinese; without it they stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The binaries without their debug information.
set(CPACK_STRIP_FILES ON)
include(CPack)
