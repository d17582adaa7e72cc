# The plug-in DLL and, where the machine can run it, the Win32 tests.
enable_language(RC)

include(${CMAKE_CURRENT_LIST_DIR}/Images.cmake)

# Only system DLLs may be imported: the C++ runtime and threads go in statically.
# No link time stamp, so the same source always links to the same bytes.
set(GLIMBER_STATIC_RUNTIME -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)

add_library(Glimber SHARED
  plugin/entry_points.cpp
  plugin/module_state.cpp
  core/system_function.cpp
  core/view_drawing.cpp
  ui/tool_window.cpp
  ui/tool_record.cpp
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
# A module's stdcall exports under the plain names of its .def file, as hosts resolve them.
function(glimber_plain_exports target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  endif()
endfunction()
glimber_plain_exports(Glimber)
set_source_files_properties(resources/glimber.rc PROPERTIES OBJECT_DEPENDS "${GLIMBER_IMAGES}")
add_dependencies(Glimber glimber_images)

option(GLIMBER_WIN_TESTS "Build the Win32 tests (run under Wine)" ON)
if(GLIMBER_WIN_TESTS)
  add_subdirectory(tests/win)
endif()

# The reference panel host, built for each architecture beside the DLL.
add_executable(GlimberHost WIN32
  host/main.cpp
  host/host_app.cpp
  host/plugin_loader.cpp
  host/demo_scene.cpp
  host/panel_layout.cpp
  host/settings_file.cpp
  host/screen_pixels.cpp
  host/real_input.cpp
  host/stb_image_write_impl.cpp
  host/host.rc)
target_include_directories(GlimberHost SYSTEM PRIVATE /usr/include/stb)
# A Windows program (no console window of its own); it writes to the console it was
# started from, or to where its output is redirected.
target_link_libraries(GlimberHost PRIVATE user32 gdi32 comctl32 shell32)
target_link_options(GlimberHost PRIVATE ${GLIMBER_STATIC_RUNTIME})
set_target_properties(GlimberHost PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(GlimberHost Glimber)
if(GLIMBER_WIN_TESTS)
  # The demo's scripted scene, short form: a screenshot is written and every
  # magnified pixel matches the screen under the tool's frame. It passes by its exit
  # status, which is 0 only then, and only if it also ends by itself.
  add_test(NAME HostDemo.ScreenshotAndMagnifiedPicturesMatch
           COMMAND GlimberHost --demo demo-check.png --check)
  set_tests_properties(HostDemo.ScreenshotAndMagnifiedPicturesMatch PROPERTIES
    RESOURCE_GROUPS display:1 TIMEOUT 120 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

# The host guide's example host, built as a host author builds it: the public header
# and system libraries only. The suite runs it against this build's DLL.
add_executable(minimal_host examples/minimal_host.cpp)
target_include_directories(minimal_host PRIVATE ${CMAKE_SOURCE_DIR}/plugin)
target_link_libraries(minimal_host PRIVATE user32 gdi32 comctl32)
target_link_options(minimal_host PRIVATE ${GLIMBER_STATIC_RUNTIME} -mconsole)
set_target_properties(minimal_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(minimal_host Glimber)
if(GLIMBER_WIN_TESTS)
  add_test(NAME MinimalHost.EveryStepAnswersAsTheGuideSays COMMAND minimal_host Glimber.dll --check)
  set_tests_properties(MinimalHost.EveryStepAnswersAsTheGuideSays PROPERTIES
    RESOURCE_GROUPS display:1 TIMEOUT 120 WORKING_DIRECTORY ${CMAKE_BINARY_DIR} FAIL_REGULAR_EXPRESSION "FAIL")
endif()

# The benchmark, run under Wine by `make bench`.
add_executable(glimber_bench bench/glimber_bench.cpp tests/win/import_hook.cpp)
target_include_directories(glimber_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(glimber_bench PRIVATE glimber_core user32 gdi32 psapi)
target_link_options(glimber_bench PRIVATE ${GLIMBER_STATIC_RUNTIME} -mconsole)
set_target_properties(glimber_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(glimber_bench Glimber)
