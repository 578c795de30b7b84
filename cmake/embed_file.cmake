# SPDX-License-Identifier: MIT
# Writes OUTPUT, a C++ source that defines `const uint8_t* FUNCTION(size_t*)`
# returning the bytes of INPUT (or nullptr and 0 when INPUT is empty), for
# `cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -DHEADER=... -P embed_file.cmake`
# at build time. CMake alone, so that a cross build needs no host tool.
if(NOT OUTPUT OR NOT FUNCTION OR NOT HEADER)
  message(FATAL_ERROR "embed_file.cmake needs OUTPUT, FUNCTION and HEADER")
endif()
set(head "// Generated from ${INPUT} by cmake/embed_file.cmake: do not edit.\n#include \"${HEADER}\"\n\n")
if(INPUT)
  file(SIZE "${INPUT}" size)
  file(READ "${INPUT}" hex HEX)
  # 16 bytes a line, so that the compiler and an editor see short lines.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
  file(WRITE "${OUTPUT}.tmp"
       "${head}namespace {\nalignas(16) const uint8_t kBytes[${size} + 1] = {\n${bytes}0};\n}  // namespace\n\n"
       "const uint8_t* ${FUNCTION}(size_t* size) {\n  *size = ${size};\n  return kBytes;\n}\n")
else()
  file(WRITE "${OUTPUT}.tmp"
       "${head}const uint8_t* ${FUNCTION}(size_t* size) {\n  *size = 0;\n  return nullptr;\n}\n")
endif()
# Rewritten only when changed, so that an unchanged pack is not compiled again.
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.tmp")
