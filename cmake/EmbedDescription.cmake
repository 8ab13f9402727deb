# Turns a window description into a C++ source that holds it as one constant, with
# its artwork filled in: @stored-jpeg(FILE) becomes the stored form of a JPEG picture (the
# class name with its length byte, the 4-byte little-endian byte count, the bytes) and
# @file(FILE) the bytes of a file, both as binary data of the description: "<=N:", the N
# bytes, ">".
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

# The description goes into the source as bytes, string literals that long being not portable;
# its artwork goes in as it is, "<=N:" and the N bytes, which the program reads without decoding.
set(hex "")
set(rest "${text}")
while(rest MATCHES "@(stored-jpeg|file)\\(([^)]+)\\)")
  set(marker "${CMAKE_MATCH_0}")
  set(kind "${CMAKE_MATCH_1}")
  hex_of_file("${CMAKE_MATCH_2}" bytes)
  if(kind STREQUAL "stored-jpeg")
    string(LENGTH "${bytes}" digits)
    math(EXPR size "${digits} / 2")
    little_endian_32(${size} length)
    string(HEX "TJPEGImage" name)
    set(bytes "0A${name}${length}${bytes}")
  endif()
  string(LENGTH "${bytes}" digits)
  math(EXPR size "${digits} / 2")
  string(FIND "${rest}" "${marker}" at)
  string(SUBSTRING "${rest}" 0 ${at} before)
  string(LENGTH "${marker}" marker_length)
  math(EXPR after "${at} + ${marker_length}")
  string(SUBSTRING "${rest}" ${after} -1 rest)
  string(HEX "${before}<=${size}:" opening)
  string(HEX ">" closing)
  string(APPEND hex "${opening}${bytes}${closing}")
endwhile()
string(HEX "${rest}" tail)
string(APPEND hex "${tail}")
string(TOLOWER "${hex}" hex)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
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
