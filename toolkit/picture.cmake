# SPDX-License-Identifier: MIT
# The picture box's decoders and placement; Qt Gui only, so it builds and tests without a display.
find_package(Qt6 REQUIRED COMPONENTS Gui)

add_library(qrgen_picture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_bmp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_pcx.cpp
)
# Headers are included as "toolkit/picture.h", from the top of the tree.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH qrgen_picture_root)
target_include_directories(qrgen_picture PUBLIC ${qrgen_picture_root})
target_link_libraries(qrgen_picture PUBLIC Qt6::Gui)
