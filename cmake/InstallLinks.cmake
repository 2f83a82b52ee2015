# Runs inside cmake --install, after the programs are in place: links each program into bin/ and writes its
# desktop entry, whose Exec names the linked program by its full path.
set(bin "${CMAKE_INSTALL_PREFIX}/${TESSALY_BINDIR}")
file(RELATIVE_PATH target "${bin}" "${CMAKE_INSTALL_PREFIX}/${TESSALY_PROGRAM_DIR}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${bin}")
foreach(program tlwkproj pxwkproj)
  set(link "$ENV{DESTDIR}${bin}/${program}")
  message(STATUS "Installing: ${link} -> ${target}/${program}")
  file(CREATE_LINK "${target}/${program}" "${link}" SYMBOLIC)
  # Recorded as CMake records its own files: under the prefix, without the staging folder.
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${bin}/${program}")

  # A path with blanks or shell characters is quoted, with the escapes a desktop entry's Exec asks for.
  set(exec "${bin}/${program}")
  if(exec MATCHES "[] \t\"'`$\\\\<>~|&;*?#()[]")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    foreach(c "\"" "`" "$")
      string(REPLACE "${c}" "\\${c}" exec "${exec}")
    endforeach()
    set(exec "\"${exec}\"")
    string(REPLACE "\\" "\\\\" exec "${exec}")
  endif()
  string(REPLACE "%" "%%" TESSALY_EXEC "${exec}")
  configure_file("${TESSALY_SOURCE_DIR}/resources/${program}.desktop.in"
    "${TESSALY_ENTRY_DIR}/${program}.desktop" @ONLY)
endforeach()
