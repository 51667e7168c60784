# Install layout and the Debian package, in one place.
#
#   <prefix>/bin/                quelta-cli, Quelta, Lumeno
#   <prefix>/lib/quelta/         the suite's shared libraries (private to the
#                                suite, so generic names such as
#                                libplatform.so stay out of <prefix>/lib)
#   <prefix>/share/quelta/help/  rich-text help files
#   <prefix>/share/quelta/data/  data tables read at run time
#   <prefix>/share/applications, share/icons/hicolor, share/mime/packages
#                                desktop entries, icons and MIME types
#
# Every executable carries the run path $ORIGIN/../lib/quelta and every
# library $ORIGIN, so an installed tree works wherever it is unpacked and
# never loads a library from the build tree. A program finds its help and
# data as <folder of the executable>/../share/quelta/...; the build tree
# mirrors that layout (build/<preset>/share/quelta), so the same lookup works
# before installation.
#
# Included at the end of the top-level CMakeLists.txt, after every target
# exists. Targets missing from the current configuration (the GUI programs
# without QUELTA_BUILD_GUI, programs not written yet) are skipped.

set(QUELTA_INSTALL_BINDIR bin)
set(QUELTA_INSTALL_LIBDIR lib/quelta)
set(QUELTA_INSTALL_DATADIR share/quelta)

# The programs that are installed. Their shared libraries are found by
# following their link dependencies (below), so a library added to a
# program is installed without being listed here.
set(QUELTA_INSTALLED_PROGRAMS quelta-cli Quelta Lumeno)

# Libraries that are loaded without being linked (plugins); none yet.
set(QUELTA_INSTALLED_EXTRA_LIBRARIES)

# Collects into <out> every shared library target of this project that
# <target> needs at run time, following private and public link
# dependencies through static, object and interface libraries.
function(quelta_runtime_libraries target out)
  set(seen)
  set(found)
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(deps ${current} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(deps ${current} LINK_LIBRARIES)
    endif()
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
      list(APPEND found ${current})
    endif()
    if(NOT deps)
      continue()
    endif()
    foreach(dep IN LISTS deps)
      # A static library's own dependencies arrive wrapped in LINK_ONLY.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" dep "${dep}")
      if(TARGET ${dep})
        get_target_property(imported ${dep} IMPORTED)
        get_target_property(aliased ${dep} ALIASED_TARGET)
        if(aliased)
          set(dep ${aliased})
        endif()
        if(NOT imported)
          list(APPEND pending ${dep})
        endif()
      endif()
    endforeach()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

set(quelta_installed_programs)
set(quelta_installed_libraries ${QUELTA_INSTALLED_EXTRA_LIBRARIES})
foreach(program IN LISTS QUELTA_INSTALLED_PROGRAMS)
  if(TARGET ${program})
    list(APPEND quelta_installed_programs ${program})
    quelta_runtime_libraries(${program} libraries)
    list(APPEND quelta_installed_libraries ${libraries})
  endif()
endforeach()
list(REMOVE_DUPLICATES quelta_installed_libraries)

if(quelta_installed_programs)
  set_target_properties(${quelta_installed_programs} PROPERTIES
    INSTALL_RPATH "$ORIGIN/../${QUELTA_INSTALL_LIBDIR}")
  install(TARGETS ${quelta_installed_programs}
    RUNTIME DESTINATION ${QUELTA_INSTALL_BINDIR})
endif()
if(quelta_installed_libraries)
  set_target_properties(${quelta_installed_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${quelta_installed_libraries}
    LIBRARY DESTINATION ${QUELTA_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${QUELTA_INSTALL_BINDIR})
endif()
message(STATUS "Installed programs: ${quelta_installed_programs}")
message(STATUS "Installed libraries: ${quelta_installed_libraries}")

# The installed tree works on its own: install, run from elsewhere, check
# where the libraries come from.
if(TARGET quelta-cli)
  add_test(NAME InstallTree.CliRunsOutsideTheBuildTree
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
            -DSCRATCH=${CMAKE_BINARY_DIR}/install-check -P ${CMAKE_CURRENT_LIST_DIR}/QueltaInstallCheck.cmake)
  set_tests_properties(InstallTree.CliRunsOutsideTheBuildTree PROPERTIES LABELS install)
endif()

# quelta_install_shared_files(SUBDIR <help|data|...> FILES <file>...)
# Installs files under <prefix>/share/quelta/<SUBDIR> and copies them to
# the same place in the build tree, where programs run from the build
# folder look for them. Relative FILES are taken from the calling folder.
# Example, for the help files once they exist:
#   quelta_install_shared_files(SUBDIR help FILES ${CMAKE_SOURCE_DIR}/help/ODFCalculationHelp.rtf)
function(quelta_install_shared_files)
  cmake_parse_arguments(ARG "" "SUBDIR" "FILES" ${ARGN})
  if(NOT ARG_SUBDIR OR NOT ARG_FILES)
    message(FATAL_ERROR "quelta_install_shared_files needs SUBDIR and FILES")
  endif()
  install(FILES ${ARG_FILES} DESTINATION ${QUELTA_INSTALL_DATADIR}/${ARG_SUBDIR})
  file(COPY ${ARG_FILES} DESTINATION ${CMAKE_BINARY_DIR}/${QUELTA_INSTALL_DATADIR}/${ARG_SUBDIR})
endfunction()

# quelta_install_desktop_entry(PROGRAM <target> DESKTOP <file.desktop>
#                              [ICONS <size>=<file.png>... | scalable=<file.svg>]
#                              [MIME <mime-package.xml>])
# Desktop integration of a GUI program: its menu entry, its icon in each
# size, and the MIME types of the documents it opens. Skipped when the
# program is not part of this build. Example:
#   quelta_install_desktop_entry(PROGRAM Lumeno
#     DESKTOP ${CMAKE_SOURCE_DIR}/viewer/app/lumeno.desktop
#     ICONS 48=${CMAKE_SOURCE_DIR}/viewer/app/lumeno-48.png
#     MIME ${CMAKE_SOURCE_DIR}/viewer/app/lumeno-mime.xml)
function(quelta_install_desktop_entry)
  cmake_parse_arguments(ARG "" "PROGRAM;DESKTOP;MIME" "ICONS" ${ARGN})
  if(NOT ARG_PROGRAM OR NOT ARG_DESKTOP)
    message(FATAL_ERROR "quelta_install_desktop_entry needs PROGRAM and DESKTOP")
  endif()
  if(NOT TARGET ${ARG_PROGRAM})
    return()
  endif()
  install(FILES ${ARG_DESKTOP} DESTINATION share/applications)
  foreach(icon IN LISTS ARG_ICONS)
    if(NOT icon MATCHES "^([0-9]+|scalable)=(.+)$")
      message(FATAL_ERROR "quelta_install_desktop_entry: icon '${icon}' is not SIZE=FILE")
    endif()
    set(size ${CMAKE_MATCH_1})
    set(file ${CMAKE_MATCH_2})
    if(size STREQUAL "scalable")
      set(folder scalable)
    else()
      set(folder ${size}x${size})
    endif()
    get_filename_component(extension ${file} LAST_EXT)
    install(FILES ${file} DESTINATION share/icons/hicolor/${folder}/apps
      RENAME ${ARG_PROGRAM}${extension})
  endforeach()
  if(ARG_MIME)
    install(FILES ${ARG_MIME} DESTINATION share/mime/packages
      RENAME ${ARG_PROGRAM}.xml)
  endif()
endfunction()

# Desktop entries of the GUI programs go here, one call per program, once
# the programs provide the files.

# Debian package: cpack -G DEB --config build/release/CPackConfig.cmake
set(QUELTA_PACKAGE_MAINTAINER "Texture suite maintainers <maintainers@texture-suite.invalid>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelta)
set(CPACK_PACKAGE_VENDOR Corvan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Crystallographic texture analysis: ODFs from pole figures and their display")
set(CPACK_PACKAGE_DESCRIPTION
  "Computes orientation distribution functions from measured X-ray pole figures, \
recalculates pole figures and inverse pole figures, and reads and writes the \
texture data files of the field. Contains the command-line program quelta-cli \
and, when built with the GUI, the calculation program and the viewer.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUELTA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Dependencies (Qt, libjpeg, libomp/libgomp, libstdc++) are read from the
# binaries by dpkg-shlibdeps; the suite's own libraries are in the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
