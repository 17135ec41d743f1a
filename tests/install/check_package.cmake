# Builds the .deb of the build folder BUILD_DIR with cpack into OUTPUT_DIR and
# checks its files, its dependencies on the library packages, the licence and
# changelog Debian wants, and the AppStream metadata beside the menu entry.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUTPUT_DIR})
execute_process(COMMAND ${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUTPUT_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${result}\n${out}\n${err}")
endif()
file(GLOB packages ${OUTPUT_DIR}/orvtool_*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one orvtool_*.deb, found: ${packages}")
endif()

execute_process(COMMAND ${DPKG_DEB} --contents ${packages} OUTPUT_VARIABLE contents RESULT_VARIABLE result)
set(expected ./usr/bin/orvctl ./usr/lib/udev/rules.d/60-orvtool.rules ./usr/share/man/man1/orvctl.1.gz
    ./usr/share/bash-completion/completions/orvctl ./usr/share/doc/orvtool/copyright
    ./usr/share/doc/orvtool/changelog.gz)
if(GUI)
  list(APPEND expected ./usr/bin/orvtool ./usr/bin/orvtool-sim ./usr/share/applications/orvtool.desktop
       ./usr/share/icons/hicolor/64x64/apps/orvtool.png ./usr/share/metainfo/example.orvanta.orvtool.metainfo.xml
       ./usr/share/man/man1/orvtool.1.gz ./usr/share/man/man1/orvtool-sim.1.gz)
endif()
foreach(path IN LISTS expected)
  string(FIND "${contents}" " ${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing from the package: ${path}\n${contents}")
  endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} --field ${packages} Depends OUTPUT_VARIABLE depends)
set(libraries libc6 libstdc\\+\\+6)
if(GUI)
  list(APPEND libraries libwxgtk3\\.2 libwxbase3\\.2)
endif()
foreach(library IN LISTS libraries)
  if(NOT depends MATCHES "${library}")
    message(FATAL_ERROR "the package does not depend on ${library}: ${depends}")
  endif()
endforeach()
execute_process(COMMAND ${DPKG_DEB} --info ${packages} postinst RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the package has no postinst")
endif()

set(root ${OUTPUT_DIR}/root)
execute_process(COMMAND ${DPKG_DEB} --extract ${packages} ${root} RESULT_VARIABLE result)
file(STRINGS ${root}/usr/share/doc/orvtool/copyright copyright)
foreach(line "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "License: MIT")
  if(NOT line IN_LIST copyright)
    message(FATAL_ERROR "the copyright file lacks: ${line}")
  endif()
endforeach()
# A new version needs its own changelog entry.
execute_process(COMMAND ${DPKG_DEB} --field ${packages} Version OUTPUT_VARIABLE version
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND gzip -dc ${root}/usr/share/doc/orvtool/changelog.gz OUTPUT_VARIABLE changelog)
if(NOT changelog MATCHES "^orvtool \\(${version}\\) ")
  message(FATAL_ERROR "the changelog does not begin with version ${version}:\n${changelog}")
endif()
if(GUI)
  if(NOT APPSTREAMCLI)
    message(FATAL_ERROR "appstreamcli is missing: scripts/install-deps.sh installs it")
  endif()
  execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${root} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the AppStream metadata does not validate: ${out}")
  endif()
endif()
file(REMOVE_RECURSE ${OUTPUT_DIR})
message(STATUS "package ${packages} complete, depends: ${depends}")
