# make_pictures: draws the built-in pictures (resources/) and the skins' title
# pictures (data/SImage/). A developer tool: the normal build only compiles it.
# Regenerate with
#   cmake --build <build dir> --target pictures
# and commit the pictures it writes.
find_package(Qt6 REQUIRED COMPONENTS Gui)

add_executable(make_pictures ${CMAKE_CURRENT_LIST_DIR}/make_pictures.cpp)
target_link_libraries(make_pictures PRIVATE Qt6::Gui)
set_target_properties(make_pictures PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)

get_filename_component(_pictures_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_custom_target(pictures
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:make_pictures> ${_pictures_root}/data ${_pictures_root}/resources
  DEPENDS make_pictures
  COMMENT "Drawing the title, button, splash, cover and icon pictures"
  VERBATIM)
unset(_pictures_root)
