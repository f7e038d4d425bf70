# morvane_require(<Package> [COMPONENTS <component>...] [TARGETS <target>...]
#                 DEBIAN <debian-package>...)
# Finds a package the build cannot do without and stops the configuration at once, naming the
# missing package, components or imported targets (for parts a find module reports only as a
# target, such as OpenGL::GLU) and the Debian packages that provide them, when it is not there.
# A build that went on without it would only fail later, at generate or link time, with a
# message about a missing target that does not say what to install.
# A macro, so that what find_package sets (<Package>_FOUND, versions, paths) is seen by the
# caller as after a plain find_package call.
#   morvane_require(Qt6 COMPONENTS OpenGL OpenGLWidgets DEBIAN libqt6opengl6-dev)
macro(morvane_require package)
  cmake_parse_arguments(_morvane_require "" "" "COMPONENTS;TARGETS;DEBIAN" ${ARGN})
  if(NOT _morvane_require_DEBIAN)
    message(FATAL_ERROR "morvane_require(${package}): name the Debian package that provides it (DEBIAN ...)")
  endif()
  if(_morvane_require_COMPONENTS)
    find_package(${package} QUIET COMPONENTS ${_morvane_require_COMPONENTS})
  else()
    find_package(${package} QUIET)
  endif()

  # Packages report components as <Package><Component>_FOUND (Qt) or
  # <Package>_<Component>_FOUND (CMake's own find modules).
  set(_morvane_require_missing "")
  foreach(_morvane_require_component IN LISTS _morvane_require_COMPONENTS)
    if(NOT ${package}${_morvane_require_component}_FOUND AND NOT ${package}_${_morvane_require_component}_FOUND)
      list(APPEND _morvane_require_missing ${package}::${_morvane_require_component})
    endif()
  endforeach()
  foreach(_morvane_require_target IN LISTS _morvane_require_TARGETS)
    if(NOT TARGET ${_morvane_require_target})
      list(APPEND _morvane_require_missing ${_morvane_require_target})
    endif()
  endforeach()
  if(NOT ${package}_FOUND AND NOT _morvane_require_missing)
    set(_morvane_require_missing ${package})
  endif()

  if(_morvane_require_missing)
    list(JOIN _morvane_require_missing ", " _morvane_require_what)
    list(JOIN _morvane_require_DEBIAN " " _morvane_require_debian)
    message(FATAL_ERROR
      "Morvane cannot be built without ${_morvane_require_what}.\n"
      "Install the Debian package(s): ${_morvane_require_debian}\n"
      "  sudo apt-get install --no-install-recommends ${_morvane_require_debian}\n"
      "or run scripts/setup.sh, which installs everything the build and the tests need.")
  endif()
endmacro()
