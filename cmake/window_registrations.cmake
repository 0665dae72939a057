# The windows of a module, or of the host itself, are listed once: in the JSON metadata. This
# writes the C++ that registers them from that list, so the list and the registrations cannot
# drift apart.
#
# generate_window_registrations(JSON NAME OUT DIR...) writes OUT, a unit that defines
#   void register_NAME_windows();       registers each listed class, made by `new CLASS`
#   const char* NAME_windows_metadata(); the metadata text itself
# Each class's header is CLASS.h in the first of the DIRs (relative to the source root) that
# holds one; a class without a header stops the configuration.
function(generate_window_registrations json name out)
  file(READ ${json} meta)
  get_filename_component(list_name ${json} NAME)
  string(JSON count LENGTH "${meta}" windows)
  set(includes "")
  set(registrations "")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON cls GET "${meta}" windows ${i} class)
      set(header "")
      foreach(dir ${ARGN})
        if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/${cls}.h)
          set(header ${dir}/${cls}.h)
          break()
        endif()
      endforeach()
      if(NOT header)
        message(FATAL_ERROR "${json} lists the window ${cls}, but none of ${ARGN} holds ${cls}.h")
      endif()
      string(APPEND includes "#include \"${header}\"\n")
      string(APPEND registrations "  register_window(\"${cls}\", [] { return new ${cls}; });\n")
    endforeach()
  endif()
  file(CONFIGURE OUTPUT ${out} @ONLY CONTENT
"// Made by generate_window_registrations from the window list of @list_name@.
#include \"framework/ui/window_registry.h\"
@includes@
void register_@name@_windows() {
@registrations@}

const char* @name@_windows_metadata() {
  return R\"json(@meta@)json\";
}
")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${json})
endfunction()
