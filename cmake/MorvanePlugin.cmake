# morvane_add_plugin(NAME [TEST] SOURCES...)
# A plug-in is a shared object without the "lib" prefix in bin/plugin/, built with hidden
# visibility so that only the four exported library functions are visible to the host.
# Delivered plug-ins are installed into lib/morvane/plugin/; TEST plug-ins (libraries that only
# the tests load) are neither installed nor put where a host looks.
function(morvane_add_plugin name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "TEST" "" "")
  add_library(${name} MODULE ${ARG_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${MORVANE_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
  if(ARG_TEST)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  else()
    install(TARGETS ${name} LIBRARY DESTINATION lib/morvane/plugin)
  endif()
endfunction()

# morvane_needs_plugins(TARGET): building a program or test builds the delivered plug-ins too,
# since it cannot work without them. Call after the plug-ins' folders were added.
function(morvane_needs_plugins target)
  foreach(plugin xfile_in xfile_out brick_in rayinc_out formats_out povscene_out formats_in)
    if(TARGET ${plugin})
      add_dependencies(${target} ${plugin})
    endif()
  endforeach()
endfunction()
