# SPDX-License-Identifier: MIT
# The licence texts of what ships: Zentick's (LICENSE) and that of the font the
# data set copies, read when the build is configured from the machine-readable
# Debian copyright file of the font's package, so that the package's copyright
# file and the LICENSE.font notice beside the cores and the page name the
# licence of the very font copied.
set(ZT_FONT_COPYRIGHT_FILE /usr/share/doc/fonts-dejavu-core/copyright CACHE FILEPATH
    "Debian copyright file (DEP-5) of the font the data set copies (package fonts-dejavu-core)")

# zt_dep5_text(OUT TEXT): TEXT as the lines after a DEP-5 field's first line,
# each indented by a space, an empty one written as ".".
function(zt_dep5_text out text)
  string(STRIP "${text}" text)
  foreach(pass 1 2)  # twice: two empty lines in a row share a newline
    string(REPLACE "\n\n" "\n.\n" text "${text}")
  endforeach()
  string(REPLACE "\n" "\n " text " ${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# zt_dep5_field(OUT PARAGRAPH NAME): the field NAME of a DEP-5 paragraph, its
# first line and continuation lines as they stand.
function(zt_dep5_field out paragraph name)
  string(REGEX MATCH "(^|\n)${name}:[ \t]*([^\n]*(\n[ \t][^\n]*)*)" value "${paragraph}")
  set(${out} "${CMAKE_MATCH_2}" PARENT_SCOPE)
endfunction()

# zt_font_licence(): sets ZT_FONT_COPYRIGHT and ZT_FONT_LICENSE to the
# Copyright and License fields (the licence's name, then its text;
# ZT_FONT_LICENSE_NAME is the name alone) of the
# font's copyright file for upstream's files, `Files: *` (the other paragraphs
# are about Debian's packaging). Stops the configuration when there is none:
# the font would ship without its licence.
function(zt_font_licence)
  set(file "${ZT_FONT_COPYRIGHT_FILE}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing: install fonts-dejavu-core, or set "
                        "ZT_FONT_COPYRIGHT_FILE to the DEP-5 copyright file of the font in ZT_FONT_DIR")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  file(READ "${file}" text)
  # Paragraphs end at an empty line, or one of blanks only: without trailing
  # blanks, both are empty.
  string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}\n\n")
  set(copyright "")
  set(licence "")
  while(NOT text STREQUAL "")
    string(FIND "${text}" "\n\n" end)
    string(SUBSTRING "${text}" 0 ${end} paragraph)
    math(EXPR end "${end} + 2")
    string(SUBSTRING "${text}" ${end} -1 text)
    string(REGEX REPLACE "^\n+" "" text "${text}")
    if(paragraph MATCHES "^Files:[ \t]*\\*[ \t]*(\n|$)")
      zt_dep5_field(copyright "${paragraph}" Copyright)
      zt_dep5_field(licence "${paragraph}" License)
    elseif(paragraph MATCHES "^License:[ \t]*([^ \t\n]+)[ \t]*\n")
      # A licence's text may stand in a paragraph of its own.
      string(MAKE_C_IDENTIFIER "${CMAKE_MATCH_1}" name)
      zt_dep5_field(text_${name} "${paragraph}" License)
    endif()
  endwhile()
  if(NOT licence MATCHES "\n")
    string(MAKE_C_IDENTIFIER "${licence}" name)
    set(licence "${text_${name}}")
  endif()
  if(copyright STREQUAL "" OR NOT licence MATCHES "^[^ \t\n]+\n")
    message(FATAL_ERROR "${file} has no paragraph `Files: *` with a Copyright and a licence's "
                        "text: the font's licence cannot be copied from it")
  endif()
  string(REGEX MATCH "^[^\n]+" name "${licence}")
  set(ZT_FONT_COPYRIGHT "${copyright}" PARENT_SCOPE)
  set(ZT_FONT_LICENSE "${licence}" PARENT_SCOPE)
  set(ZT_FONT_LICENSE_NAME "${name}" PARENT_SCOPE)
endfunction()

# zt_font_notice(FILE): writes the font's licence as plain text into FILE
# (LICENSE.font beside the cores and the page), rewritten only when changed.
function(zt_font_notice file)
  zt_font_licence()
  # The licence's name goes; of the continuation lines, their indent, and
  # "." stands for an empty line.
  string(FIND "${ZT_FONT_LICENSE}" "\n" end)
  string(SUBSTRING "${ZT_FONT_LICENSE}" ${end} -1 licence)
  set(notice "${ZT_FONT_COPYRIGHT}\n${licence}\n")
  string(REGEX REPLACE "\n[ \t]" "\n" notice "${notice}")
  foreach(pass 1 2)  # twice: two empty lines in a row share a newline
    string(REPLACE "\n.\n" "\n\n" notice "${notice}")
  endforeach()
  file(WRITE "${file}.tmp"
"Zentick's data set carries the font DejaVu Sans Mono as zentick/andalemo.ttf:
in the data folder, in the data pack linked into every libretro core, and in
the web page's zentick.pack (there only the characters the menu shows, without
hinting). The font is not under Zentick's licence (LICENSE) but under its own,
which follows as Debian's package fonts-dejavu-core states it.

${notice}")
  configure_file("${file}.tmp" "${file}" COPYONLY)
  file(REMOVE "${file}.tmp")
endfunction()
