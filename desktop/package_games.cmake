# SPDX-License-Identifier: MIT
# Run by CPack on the staging folder of the Debian package, before it is packed:
# Debian keeps games in /usr/games (lintian insists on it for section games),
# so the program moves there from the folder the build installs it in. It finds
# its data from either folder alike (../share/zentick/data).
set(zt_stage "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(zt_from "${zt_stage}/${CPACK_ZT_INSTALL_BINDIR}")
if(NOT CPACK_ZT_INSTALL_BINDIR STREQUAL "games" AND EXISTS "${zt_from}/zentick")
  file(MAKE_DIRECTORY "${zt_stage}/games")
  file(RENAME "${zt_from}/zentick" "${zt_stage}/games/zentick")
  file(GLOB zt_left "${zt_from}/*")
  if(NOT zt_left)
    file(REMOVE_RECURSE "${zt_from}")
  endif()
endif()
