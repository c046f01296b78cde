# Run by the install for each program: writes its menu entry and installs it. The entry names
# the program by its full installed path, known only now (`cmake --install --prefix` may
# change the prefix), so that it starts whatever PATH the desktop session has.
# Set before: ZW_PROGRAM, ZW_ENTRY_TEMPLATE, ZW_ENTRY_DIR (where the entry is written),
# ZW_BINDIR and ZW_DATADIR (as configured: under the prefix unless absolute).
foreach(dir BINDIR DATADIR)
  if(IS_ABSOLUTE "${ZW_${dir}}")
    set(full_${dir} "${ZW_${dir}}")
  else()
    set(full_${dir} "${CMAKE_INSTALL_PREFIX}/${ZW_${dir}}")
  endif()
endforeach()
set(program "${full_BINDIR}/${ZW_PROGRAM}")
if(program MATCHES "[\n\r\t]")
  message(FATAL_ERROR "A menu entry cannot name a program whose path holds a line break or tab: ${program}")
endif()
# One word for sh, in single quotes ...
string(REPLACE "'" "'\\''" word "${program}")
set(word "'${word}'")
# ... inside the double quotes of the Exec key, where \ " ` $ take a backslash and % doubles ...
foreach(c "\\" "\"" "`" "$")
  string(REPLACE "${c}" "\\${c}" word "${word}")
endforeach()
string(REPLACE "%" "%%" word "${word}")
# ... and the key's value is a string, whose backslashes are escaped once more.
string(REPLACE "\\" "\\\\" ZW_PROGRAM_WORD "${word}")
configure_file("${ZW_ENTRY_TEMPLATE}" "${ZW_ENTRY_DIR}/${ZW_PROGRAM}.desktop" @ONLY)
file(INSTALL DESTINATION "${full_DATADIR}/applications" TYPE FILE
     FILES "${ZW_ENTRY_DIR}/${ZW_PROGRAM}.desktop")
