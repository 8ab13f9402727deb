# Runs at install time: installs the desktop entries and the file managers' actions, each made
# from its template with the final place of the program (@PROGRAM@) and the arguments that play
# the bundled sample (@SAMPLE@). Takes ANTHORA_DESKTOP_FILES (a list of TEMPLATE|FOLDER|NAME|MODE:
# FOLDER relative to the data folder, MODE a comma-separated permission list or - for the usual one),
# ANTHORA_DESKTOP_WORK
# (a folder for the made files), ANTHORA_BINDIR and ANTHORA_DATADIR (absolute, or relative to
# the install prefix).
set(prefix "${CMAKE_INSTALL_PREFIX}")
cmake_path(ABSOLUTE_PATH prefix NORMALIZE)
set(bindir "${ANTHORA_BINDIR}")
set(datadir "${ANTHORA_DATADIR}")
cmake_path(ABSOLUTE_PATH bindir BASE_DIRECTORY "${prefix}" NORMALIZE)
cmake_path(ABSOLUTE_PATH datadir BASE_DIRECTORY "${prefix}" NORMALIZE)

# An argument of an Exec line as it stands when it holds none of the characters the desktop
# entry format reserves; quoted otherwise, with ", `, $ and \ escaped by a backslash and the
# whole value's backslashes escaped once more. % is doubled either way.
function(exec_argument out text)
  if(text MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" text "${text}")
    string(REPLACE "\\" "\\\\" text "${text}")
    set(text "\"${text}\"")
  endif()
  string(REPLACE "%" "%%" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The program by its absolute path, which needs no search of the PATH. A path that would need
# quotes is named by the program's name alone, found on the PATH: xdg-open without a desktop
# (xdg-utils 1.1.3) splits the line at every blank and takes quotes as part of the name.
cmake_path(APPEND bindir anthora OUTPUT_VARIABLE program)
exec_argument(quoted "${program}")
if(quoted STREQUAL program)
  set(PROGRAM "${program}")
else()
  set(PROGRAM anthora)
endif()
# The sample is named from the program's folder, so no blank of the prefix gets into the line.
file(RELATIVE_PATH sample "${bindir}" "${datadir}/anthora/sample")
exec_argument(sample "${sample}")
set(SAMPLE "--default-set ${sample}")

# Installs into different prefixes may run at once (a package build beside a staging one).
string(MD5 key "$ENV{DESTDIR}${prefix}")
foreach(file IN LISTS ANTHORA_DESKTOP_FILES)
  string(REPLACE "|" ";" file "${file}")
  list(GET file 0 template)
  list(GET file 1 folder)
  list(GET file 2 name)
  list(GET file 3 mode)
  set(made "${ANTHORA_DESKTOP_WORK}/${key}/${folder}/${name}")
  configure_file("${template}" "${made}" @ONLY)
  if(NOT mode STREQUAL "-")
    string(REPLACE "," ";" mode "${mode}")
    file(INSTALL DESTINATION "${datadir}/${folder}" TYPE FILE PERMISSIONS ${mode} FILES "${made}")
  else()
    file(INSTALL DESTINATION "${datadir}/${folder}" TYPE FILE FILES "${made}")
  endif()
endforeach()
file(REMOVE_RECURSE "${ANTHORA_DESKTOP_WORK}/${key}")
