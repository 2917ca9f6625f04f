# Runs at install time (data/CMakeLists.txt sets the OMBREL_* paths): installs
# the desktop entry with Exec naming the program by its installed path, then,
# when installing straight into the prefix, updates the desktop's caches.
set(program "${CMAKE_INSTALL_PREFIX}/${OMBREL_BINDIR}/ombrel")
if(program MATCHES "[\"`$\\\\]")
  message(WARNING "The desktop entry names the program as plain 'ombrel': its path ${program} "
    "holds a character that a desktop entry cannot quote.")
  set(exec "ombrel")
elseif(program MATCHES "^[A-Za-z0-9/._+-]+$")
  set(exec "${program}")
else()
  set(exec "\"${program}\"")
endif()

file(READ "${OMBREL_DESKTOP_ENTRY}" entry)
string(REGEX REPLACE "\nExec=ombrel " "\nExec=${exec} " entry "${entry}")
file(WRITE "${OMBREL_STAGED_ENTRY}" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${OMBREL_DATADIR}/applications" TYPE FILE
  FILES "${OMBREL_STAGED_ENTRY}")

if("$ENV{DESTDIR}" STREQUAL "")
  set(share "${CMAKE_INSTALL_PREFIX}/${OMBREL_DATADIR}")
  foreach(update IN ITEMS "update-mime-database;${share}/mime" "update-desktop-database;-q;${share}/applications")
    list(POP_FRONT update tool)
    find_program(tool_path ${tool})
    if(tool_path)
      list(JOIN update " " arguments)
      message(STATUS "Updating: ${tool} ${arguments}")
      execute_process(COMMAND ${tool_path} ${update} RESULT_VARIABLE ignored_result)
    endif()
    unset(tool_path CACHE)
    unset(tool_path)
  endforeach()
endif()
