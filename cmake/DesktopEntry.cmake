# Runs at install time: installs the desktop entries, each made from its template with the final
# places of the program (@PROGRAM@) and of the sample (@EXEC@ plays it by default). Takes
# ANTHORA_DESKTOP_TEMPLATES (a list), ANTHORA_DESKTOP_WORK (a folder for the made entries),
# ANTHORA_BINDIR and ANTHORA_DATADIR (absolute, or relative to the install prefix).
set(prefix "${CMAKE_INSTALL_PREFIX}")
cmake_path(ABSOLUTE_PATH prefix NORMALIZE)
set(bindir "${ANTHORA_BINDIR}")
set(datadir "${ANTHORA_DATADIR}")
cmake_path(ABSOLUTE_PATH bindir BASE_DIRECTORY "${prefix}" NORMALIZE)
cmake_path(ABSOLUTE_PATH datadir BASE_DIRECTORY "${prefix}" NORMALIZE)

# A quoted argument of an Exec line, where ", `, $ and \ are escaped with a backslash and % is
# doubled; the whole value of a desktop entry then escapes its backslashes once more.
function(exec_argument out path)
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${path}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

# The program plays the set file it is given, else the bundled sample, wherever it starts.
exec_argument(program "${bindir}/anthora")
exec_argument(sample "${datadir}/anthora/sample")
set(EXEC "${program} --default-set ${sample} %f")
# Installs into different prefixes may run at once (a package build beside a staging one).
string(MD5 key "$ENV{DESTDIR}${prefix}")
set(PROGRAM "${program}")
foreach(template IN LISTS ANTHORA_DESKTOP_TEMPLATES)
  cmake_path(GET template STEM LAST_ONLY name)
  set(entry "${ANTHORA_DESKTOP_WORK}/${key}/${name}")
  configure_file("${template}" "${entry}" @ONLY)
  file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE FILES "${entry}")
endforeach()
file(REMOVE_RECURSE "${ANTHORA_DESKTOP_WORK}/${key}")
