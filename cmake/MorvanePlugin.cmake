# morvane_add_plugin(NAME SOURCES...)
# A plug-in is a shared object without the "lib" prefix in bin/plugin/, built with hidden
# visibility so that only the four exported library functions are visible to the host.
function(morvane_add_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${MORVANE_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
endfunction()
