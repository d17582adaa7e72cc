# The bitmaps and the cursor are drawn as text in resources/images and turned
# into .bmp/.cur files by a small host program at build time.
find_program(GLIMBER_HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(GLIMBER_IMAGE_DIR ${CMAKE_BINARY_DIR}/images)
set(GLIMBER_IMAGES
  ${GLIMBER_IMAGE_DIR}/toolcolor.bmp
  ${GLIMBER_IMAGE_DIR}/toolmono.bmp
  ${GLIMBER_IMAGE_DIR}/toolcursor.cur)
add_custom_command(
  OUTPUT ${GLIMBER_IMAGES} ${GLIMBER_IMAGE_DIR}/preview.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${GLIMBER_IMAGE_DIR}
  COMMAND ${GLIMBER_HOST_CXX} -std=c++17 -O1 ${CMAKE_SOURCE_DIR}/tools/make_images.cpp -o ${GLIMBER_IMAGE_DIR}/make_images
  COMMAND ${GLIMBER_IMAGE_DIR}/make_images ${CMAKE_SOURCE_DIR}/resources/images ${GLIMBER_IMAGE_DIR} ${GLIMBER_IMAGE_DIR}/preview.png
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_images.cpp
          ${CMAKE_SOURCE_DIR}/resources/images/tool16.txt
          ${CMAKE_SOURCE_DIR}/resources/images/cursor32.txt
  COMMENT "Drawing the tool's images"
  VERBATIM)
add_custom_target(glimber_images DEPENDS ${GLIMBER_IMAGES})
