// Tells whether this machine runs Windows programs of this build's kind at all:
// the Win32 runner starts it before the suite and skips the suite when it does not run.
#include <windows.h>

#include <cstdio>

int main()
{
    std::printf("runs %u-bit Windows programs\n", static_cast<unsigned>(sizeof(void*) * 8));
    return GetCurrentProcessId() != 0 ? 0 : 1;
}
