# Run by cpack after it has written the packages (CPACK_POST_BUILD_SCRIPTS).
#
# CPack's Installed-Size counts the target of every symlink again and the
# folders at their block size, so libwfcore1 claimed twice its size. Each
# package is unpacked, its Installed-Size set as dpkg-gencontrol counts it
# (every file in whole KiB, at least 1; 1 KiB for each symlink and folder),
# the library packages marked "Multi-Arch: same" (CPACK_WF_MULTIARCH_SAME),
# and packed again by dpkg-deb, which stamps the archive members with
# SOURCE_DATE_EPOCH (set by cpack_project.cmake), so the bytes stay the same
# from run to run.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)

  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${tree}/*")
  set(kib 0)
  foreach(entry IN LISTS entries)
    if(entry MATCHES "^${tree}/DEBIAN(/|$)")
      continue()
    endif()
    if(IS_SYMLINK "${entry}" OR IS_DIRECTORY "${entry}")
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE "${entry}" bytes)
      math(EXPR size "(${bytes} + 1023) / 1024")
      if(size EQUAL 0)
        set(size 1)
      endif()
      math(EXPR kib "${kib} + ${size}")
    endif()
  endforeach()

  file(READ "${tree}/DEBIAN/control" control)
  string(REGEX REPLACE "\nInstalled-Size: [0-9]*\n" "\nInstalled-Size: ${kib}\n" control "${control}")
  string(REGEX MATCH "(^|\n)Package: ([^\n]*)" package "${control}")
  if(CMAKE_MATCH_2 IN_LIST CPACK_WF_MULTIARCH_SAME AND NOT control MATCHES "(^|\n)Multi-Arch:")
    string(REGEX REPLACE "(^|\n)(Architecture: [^\n]*\n)" "\\1\\2Multi-Arch: same\n" control "${control}")
  endif()
  file(WRITE "${tree}/DEBIAN/control" "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${tree}" "${deb}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
