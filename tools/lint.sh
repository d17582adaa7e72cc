#!/usr/bin/env bash
# Static analysis of the project's own code; any finding fails.
#  - cppcheck over every source, tests included;
#  - clang-tidy (checks in .clang-tidy) over the DLL, the reference host and the
#    benchmark, as the x86_64 MinGW build compiles them;
#  - clang-format: every source formatted by the rule in .clang-format.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
status=0

echo "lint: cppcheck"
cppcheck --quiet --enable=warning,performance,portability,style --std=c++20 --inline-suppr \
  --library=googletest --library=windows --suppress=missingIncludeSystem \
  --suppressions-list=tools/cppcheck-suppressions.txt --error-exitcode=1 \
  -I . -D_WIN32 -D_WIN64 core ui plugin host examples bench tools tests || status=1

echo "lint: clang-tidy"
build=build/lint
cmake --no-warn-unused-cli -S . -B "$build" --toolchain cmake/mingw-x86_64.cmake -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DGLIMBER_WIN_TESTS=OFF >/dev/null
# The MinGW C++ library headers, which clang does not find by itself for Debian's -posix compilers.
cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -n 1)
log="$build/clang-tidy.log"
git ls-files 'core/*.cpp' 'ui/*.cpp' 'plugin/*.cpp' 'host/*.cpp' 'examples/*.cpp' 'bench/*.cpp' | grep -v 'stb_image_write_impl.cpp' |
  xargs -P "$(nproc)" -n 2 clang-tidy -p "$build" --quiet --extra-arg=--target=x86_64-w64-mingw32 \
    --extra-arg=-isystem"$cxx" --extra-arg=-isystem"$cxx/x86_64-w64-mingw32" --extra-arg=-isystem"$cxx/backward" \
    >"$log" 2>&1 || true
if grep -qE '(warning|error):' "$log"; then
  grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated|^Suppressed [0-9]+ warnings|^Use -header-filter' "$log"
  status=1
fi

echo "lint: clang-format"
# Every source as the formatting rule in .clang-format lays it out.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror || status=1

if [ "$status" -eq 0 ]; then echo "lint: no findings"; else echo "lint: findings above"; fi
exit "$status"
