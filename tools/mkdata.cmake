# The data generator: draws and synthesises the built-in data directory and,
# with ZT_BUILD_DATA, runs at build time so that data/ stands beside zentick.
set(ZT_FONT_DIR "/usr/share/fonts/truetype/dejavu" CACHE PATH
    "Folder with the DejaVu TrueType fonts (Debian package fonts-dejavu-core)")
if(NOT EXISTS ${ZT_FONT_DIR}/DejaVuSansMono.ttf)
  message(WARNING "${ZT_FONT_DIR}/DejaVuSansMono.ttf is missing: install fonts-dejavu-core")
endif()

file(GLOB ZT_MKDATA_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/mkdata/*.cpp)
list(REMOVE_ITEM ZT_MKDATA_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mkdata/main.cpp)
add_library(zt_mkdata STATIC ${ZT_MKDATA_SOURCES})
target_include_directories(zt_mkdata PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(zt_mkdata PRIVATE ZT_MKDATA_FONT_DIR="${ZT_FONT_DIR}")
target_link_libraries(zt_mkdata PUBLIC zt_menu zt_engines zt_framework zt_platform PkgConfig::SDL)

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
endif()
