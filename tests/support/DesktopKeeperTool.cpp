// veyra_desktop_keeper: holds the Wine desktop open for the life of a test environment. Wine starts its
// desktop process when the first program asks for a window and ends it when the last one is gone; the
// desktop process then started by a test inherits that test's output pipe, and ctest waits on the pipe
// until the desktop ends. Started first, with its output on /dev/null, this program gives the desktop a
// user that outlives every test. It prints "ready" once the desktop window exists and then waits to be
// ended with the wineserver.
#include <windows.h>

#include <cstdio>

int wmain()
{
    if (!GetDesktopWindow()) {
        std::fputs("no desktop\n", stdout);
        return 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (;;) {
        Sleep(INFINITE);
    }
}
