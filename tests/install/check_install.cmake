# Installs the build folder BUILD_DIR into a fresh PREFIX and checks that the
# tree holds the programs, their manual pages, orvctl's completion, the
# licence, the menu entry, its icon and metadata and the udev rule (those of
# the desktop programs only when GUI is on).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/orvctl lib/udev/rules.d/60-orvtool.rules share/man/man1/orvctl.1.gz
    share/bash-completion/completions/orvctl share/doc/orvtool/copyright share/doc/orvtool/changelog.gz)
if(GUI)
  list(APPEND expected bin/orvtool bin/orvtool-sim share/applications/orvtool.desktop
       share/icons/hicolor/64x64/apps/orvtool.png share/metainfo/example.orvanta.orvtool.metainfo.xml
       share/man/man1/orvtool.1.gz share/man/man1/orvtool-sim.1.gz)
endif()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "missing from the install tree: ${path}")
  endif()
endforeach()

file(READ ${PREFIX}/lib/udev/rules.d/60-orvtool.rules rules)
foreach(line [[SUBSYSTEM=="tty", ATTRS{idVendor}=="0403", GROUP="dialout", MODE="0660"]]
             [[ACTION=="add", SUBSYSTEM=="usb-serial", DRIVER=="ftdi_sio", ATTR{latency_timer}="1"]])
  string(FIND "${rules}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the udev rule lacks: ${line}")
  endif()
endforeach()
if(GUI)
  file(STRINGS ${PREFIX}/share/applications/orvtool.desktop entry)
  foreach(line "[Desktop Entry]" "Type=Application" "Exec=orvtool" "Icon=orvtool")
    if(NOT line IN_LIST entry)
      message(FATAL_ERROR "the desktop entry lacks: ${line}")
    endif()
  endforeach()
endif()

execute_process(COMMAND ${PREFIX}/bin/orvctl --sim discover RESULT_VARIABLE result OUTPUT_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out MATCHES "ORV-Input8")
  message(FATAL_ERROR "the installed orvctl does not run: ${result} ${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "install tree complete")
