# The plug-in DLL and, where the machine can run it, the Win32 tests.
enable_language(RC)

include(${CMAKE_CURRENT_LIST_DIR}/Images.cmake)

# Only system DLLs may be imported: the C++ runtime and threads go in statically.
set(GLIMBER_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

add_library(Glimber SHARED
  plugin/entry_points.cpp
  plugin/module_state.cpp
  core/view_drawing.cpp
  ui/tool_window.cpp
  ui/context_menu.cpp
  ui/property_page.cpp
  ui/about_box.cpp
  ui/resource_text.cpp
  resources/glimber.rc
  plugin/Glimber.def)
set_target_properties(Glimber PROPERTIES
  PREFIX ""
  OUTPUT_NAME Glimber
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(Glimber PRIVATE ${GLIMBER_IMAGE_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(Glimber PRIVATE glimber_core user32 gdi32)
target_link_options(Glimber PRIVATE ${GLIMBER_STATIC_RUNTIME})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # stdcall exports under their plain names, as hosts resolve them.
  target_link_options(Glimber PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
endif()
set_source_files_properties(resources/glimber.rc PROPERTIES OBJECT_DEPENDS "${GLIMBER_IMAGES}")
add_dependencies(Glimber glimber_images)

option(GLIMBER_WIN_TESTS "Build the Win32 tests (run under Wine)" ON)
if(GLIMBER_WIN_TESTS)
  add_subdirectory(tests/win)
endif()
