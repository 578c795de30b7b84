# SPDX-License-Identifier: MIT
# The data generator: draws and synthesises the built-in data directory and,
# with ZT_BUILD_DATA, runs at build time so that data/ stands beside zentick.
set(ZT_FONT_DIR "/usr/share/fonts/truetype/dejavu" CACHE PATH
    "Folder with the DejaVu TrueType fonts (Debian package fonts-dejavu-core)")
if(NOT EXISTS ${ZT_FONT_DIR}/DejaVuSansMono.ttf)
  message(WARNING "${ZT_FONT_DIR}/DejaVuSansMono.ttf is missing: install fonts-dejavu-core")
endif()

# The icon's PNG files are written with stb_image_write (Debian package libstb-dev).
find_path(ZT_STB_INCLUDE_DIR stb/stb_image_write.h)
if(NOT ZT_STB_INCLUDE_DIR)
  message(FATAL_ERROR "stb/stb_image_write.h is missing: install libstb-dev")
endif()

# The data pack is deflated with zlib (Debian package zlib1g-dev).
find_package(ZLIB REQUIRED)

file(GLOB ZT_MKDATA_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/mkdata/*.cpp)
list(REMOVE_ITEM ZT_MKDATA_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mkdata/main.cpp)
add_library(zt_mkdata STATIC ${ZT_MKDATA_SOURCES})
target_include_directories(zt_mkdata PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_include_directories(zt_mkdata SYSTEM PRIVATE ${ZT_STB_INCLUDE_DIR})
target_compile_definitions(zt_mkdata PRIVATE ZT_MKDATA_FONT_DIR="${ZT_FONT_DIR}")
target_link_libraries(zt_mkdata PUBLIC zt_menu zt_engines zt_framework zt_platform zt_platform_decode
                                       PkgConfig::SDL PRIVATE ZLIB::ZLIB)

add_executable(zentick-mkdata ${CMAKE_CURRENT_SOURCE_DIR}/mkdata/main.cpp)
target_link_libraries(zentick-mkdata PRIVATE zt_mkdata)
set_target_properties(zentick-mkdata PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tools)

if(ZT_BUILD_DATA)
  # Naming the tool's target in DEPENDS re-runs it whenever the tool is rebuilt.
  set(ZT_DATA_STAMP ${CMAKE_CURRENT_BINARY_DIR}/data.stamp)
  # The font is an output too, so that a deleted data folder is made again.
  add_custom_command(
    OUTPUT ${ZT_DATA_STAMP} ${PROJECT_BINARY_DIR}/data/zentick/andalemo.ttf
    COMMAND zentick-mkdata ${PROJECT_BINARY_DIR}/data
    COMMAND ${CMAKE_COMMAND} -E touch ${ZT_DATA_STAMP}
    DEPENDS zentick-mkdata
    COMMENT "Drawing the built-in data set into ${PROJECT_BINARY_DIR}/data"
    VERBATIM)
  add_custom_target(zt_data ALL DEPENDS ${ZT_DATA_STAMP})

  # The same data set as one compressed file beside the folder, for hosts that
  # carry their data inside them. Targets that use it depend on zt_pack; its
  # path is ZT_PACK_FILE, and the target's ZT_PACK_FILE property for folders
  # configured before this one ($<TARGET_PROPERTY:zt_pack,ZT_PACK_FILE>).
  set(ZT_PACK_FILE ${PROJECT_BINARY_DIR}/zentick.pack CACHE INTERNAL "The built data pack")
  add_custom_command(
    OUTPUT ${ZT_PACK_FILE}
    COMMAND zentick-mkdata --pack ${PROJECT_BINARY_DIR}/data ${ZT_PACK_FILE}
    DEPENDS ${ZT_DATA_STAMP} zentick-mkdata
    COMMENT "Packing ${PROJECT_BINARY_DIR}/data into ${ZT_PACK_FILE}"
    VERBATIM)
  add_custom_target(zt_pack ALL DEPENDS ${ZT_PACK_FILE})
  set_target_properties(zt_pack PROPERTIES ZT_PACK_FILE ${ZT_PACK_FILE})
endif()

# The application icon, in the icon theme's sizes, for the desktop's menus.
set(ZT_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(ZT_ICON_FILES)
foreach(size 32 48 64 128 256)
  list(APPEND ZT_ICON_FILES ${ZT_ICON_DIR}/hicolor/${size}x${size}/apps/zentick.png)
endforeach()
add_custom_command(
  OUTPUT ${ZT_ICON_FILES}
  COMMAND zentick-mkdata --icons ${ZT_ICON_DIR}
  DEPENDS zentick-mkdata
  COMMENT "Drawing the application icon into ${ZT_ICON_DIR}"
  VERBATIM)
add_custom_target(zt_icons ALL DEPENDS ${ZT_ICON_FILES})
install(DIRECTORY ${ZT_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
