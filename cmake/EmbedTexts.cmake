# Writes a C++ source that holds files byte for byte, as arrays of the given
# names (used for the language texts, which must keep their byte-order mark
# and CR LF line ends).
#   cmake -DOUTPUT=<file.cpp> -DNAMES=<name,name> -DFILES=<file,file> -P EmbedTexts.cmake
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" NAMES "${NAMES}")
string(REPLACE "," ";" FILES "${FILES}")

set(text "// Made by cmake/EmbedTexts.cmake; do not edit.\n#include <cstddef>\n\n")
foreach(name file IN ZIP_LISTS NAMES FILES)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND text "extern const unsigned char ${name}[] = {\n${bytes}0};\n")
  string(APPEND text "extern const std::size_t ${name}_size = ${size};\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
