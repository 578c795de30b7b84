# SPDX-License-Identifier: MIT
# The games kit (build/kit): content files, a RetroArch playlist with its
# thumbnails and an EmulationStation gamelist with its images, drawn by a
# session on the built data set; scripts/release.sh zips it.
add_executable(zentick-mkkit ${CMAKE_CURRENT_SOURCE_DIR}/mkkit/main.cpp)
target_link_libraries(zentick-mkkit PRIVATE zt_session)
target_include_directories(zentick-mkkit SYSTEM PRIVATE ${ZT_STB_INCLUDE_DIR})
target_compile_definitions(zentick-mkkit PRIVATE ZT_VERSION="${PROJECT_VERSION}")
set_target_properties(zentick-mkkit PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tools)

if(ZT_BUILD_DATA AND ZT_DATA_STAMP)
  set(ZT_KIT_DIR ${PROJECT_BINARY_DIR}/kit)
  set(ZT_KIT_STAMP ${CMAKE_CURRENT_BINARY_DIR}/kit.stamp)
  # Made anew each time, so that nothing of an earlier kit stays in it.
  add_custom_command(
    OUTPUT ${ZT_KIT_STAMP}
    COMMAND ${CMAKE_COMMAND} -E remove_directory ${ZT_KIT_DIR}
    COMMAND zentick-mkkit ${PROJECT_BINARY_DIR}/data ${ZT_KIT_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${ZT_KIT_STAMP}
    DEPENDS zentick-mkkit ${ZT_DATA_STAMP}
    COMMENT "Writing the games kit into ${ZT_KIT_DIR}"
    VERBATIM)
  add_custom_target(zt_kit ALL DEPENDS ${ZT_KIT_STAMP})
endif()
