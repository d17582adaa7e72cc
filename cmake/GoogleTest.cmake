# GoogleTest from Debian's source package, built with the project's own compiler
# (so the same sources serve the native and the cross builds).
set(GLIMBER_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GLIMBER_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not ours to warn about.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
