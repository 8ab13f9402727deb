# Turns a window description into a C++ source that holds it as one constant, with
# its artwork filled in: @stored-jpeg(FILE) becomes the stored form of a JPEG picture (the
# class name with its length byte, the 4-byte little-endian byte count, the bytes) and
# @file(FILE) the bytes of a file, both written as hexadecimal in angle brackets.
#
# cmake -DINPUT=description -DOUTPUT=source.cpp -DSYMBOL=name -DNAMESPACE=ns -P EmbedDescription.cmake

get_filename_component(base "${INPUT}" DIRECTORY)
file(READ "${INPUT}" text)

function(hex_of_file path result)
  file(READ "${base}/${path}" hex HEX)
  string(TOUPPER "${hex}" hex)
  set(${result} "${hex}" PARENT_SCOPE)
endfunction()

function(little_endian_32 value result)
  set(bytes "")
  foreach(shift 0 8 16 24)
    math(EXPR byte "(${value} >> ${shift}) & 255" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${byte}" 2 -1 digits)
    string(LENGTH "${digits}" length)
    if(length EQUAL 1)
      set(digits "0${digits}")
    endif()
    string(APPEND bytes "${digits}")
  endforeach()
  string(TOUPPER "${bytes}" bytes)
  set(${result} "${bytes}" PARENT_SCOPE)
endfunction()

# Breaks a long hexadecimal text into indented lines of 64 digits.
function(wrap hex result)
  string(REGEX REPLACE "([0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F])"
    "\\1\n      " wrapped "${hex}")
  set(${result} "<\n      ${wrapped}\n    >" PARENT_SCOPE)
endfunction()

while(text MATCHES "@stored-jpeg\\(([^)]+)\\)")
  set(path "${CMAKE_MATCH_1}")
  hex_of_file("${path}" bytes)
  string(LENGTH "${bytes}" digits)
  math(EXPR size "${digits} / 2")
  little_endian_32(${size} length)
  string(HEX "TJPEGImage" name)
  string(TOUPPER "${name}" name)
  wrap("0A${name}${length}${bytes}" block)
  string(REPLACE "@stored-jpeg(${path})" "${block}" text "${text}")
endwhile()

while(text MATCHES "@file\\(([^)]+)\\)")
  set(path "${CMAKE_MATCH_1}")
  hex_of_file("${path}" bytes)
  wrap("${bytes}" block)
  string(REPLACE "@file(${path})" "${block}" text "${text}")
endwhile()

# The text goes into the source as bytes: string literals that long are not portable.
file(WRITE "${OUTPUT}.text" "${text}")
file(READ "${OUTPUT}.text" bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Made at build time from ${INPUT}.\n"
  "#include <string_view>\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "namespace {\n"
  "const unsigned char kBytes[] = {${bytes}};\n"
  "}  // namespace\n\n"
  "extern const std::string_view ${SYMBOL};\n"
  "const std::string_view ${SYMBOL}(reinterpret_cast<const char*>(kBytes), sizeof kBytes);\n\n"
  "}  // namespace ${NAMESPACE}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
