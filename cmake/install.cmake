# The install tree: bin/member-terminal; lib/ with the framework (versioned soname) and the module
# folder lib/member-terminal/modules; include/member-framework/ with the framework headers; the
# CMake package lib/cmake/MemberFramework and a pkg-config file; the schema as plain SQL under
# share/member-terminal/; the manual page, desktop entry and icon. scripts/package.sh splits it
# into Debian packages (debian/).
include(CMakePackageConfigHelpers)

install(TARGETS member-terminal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS member_framework EXPORT MemberFrameworkTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS member_module LIBRARY DESTINATION ${MEMBER_MODULE_INSTALL_DIR})
set_target_properties(member-terminal PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set_target_properties(member_module PROPERTIES INSTALL_RPATH "$ORIGIN/../..")

# Headers a module or host author includes; the backends' own and the PostgreSQL connection's
# helpers (URL defaults, core dumps, lock waits) stay inside the library.
file(GLOB_RECURSE headers RELATIVE ${PROJECT_SOURCE_DIR}/framework CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/framework/*.h)
list(FILTER headers EXCLUDE REGEX "(pg_connection|sqlite_connection|backend_support|dv_impl|pg_url|core_dumps|lock_waits)\\.h$")
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

# pkg-config file beside the CMake package; its prefix is found from its own folder, so that the
# tree can be installed into any prefix.
file(RELATIVE_PATH pc_prefix_from_pcfiledir /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
string(REGEX REPLACE "/$" "" pc_prefix_from_pcfiledir ${pc_prefix_from_pcfiledir})
configure_file(cmake/member-framework.pc.in ${PROJECT_BINARY_DIR}/member-framework.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/member-framework.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The terminal's manual page, and its desktop menu entry with its icon.
configure_file(packaging/member-terminal.1.in ${PROJECT_BINARY_DIR}/member-terminal.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/member-terminal.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/member-terminal.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/member-terminal.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
