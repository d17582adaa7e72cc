#include "case_watch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The case's bound, in seconds: GLIMBER_CASE_BOUND, which the build sets well below
// each case's ctest timeout; 90 when a case is run by hand.
DWORD BoundMs()
{
    const char* text = std::getenv("GLIMBER_CASE_BOUND");
    const long seconds = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return static_cast<DWORD>(seconds > 0 ? seconds : 90) * 1000;
}

// What the watch thread reads: written by the case's thread under the lock.
CRITICAL_SECTION lock;
char step[160];
const WaitingFor* innermostWait = nullptr;
std::string caseName;

struct Locked {
    Locked() { EnterCriticalSection(&lock); }
    ~Locked() { LeaveCriticalSection(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

BOOL CALLBACK PrintWindow(HWND window, LPARAM count)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    // Reads the caption without a message to the window's thread, which may be the stuck one.
    wchar_t caption[64] = L"";
    InternalGetWindowText(window, caption, 64);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::fprintf(stderr, "    %p class \"%s\" caption \"%ls\" owner %p%s%s\n", static_cast<void*>(window), className,
                 caption, static_cast<void*>(GetWindow(window, GW_OWNER)), IsWindowVisible(window) ? " visible" : "",
                 process == GetCurrentProcessId() ? " (this case's)" : "");
    return ++*reinterpret_cast<int*>(count) < 60;
}

[[noreturn]] void ReportAndFail(DWORD boundMs)
{
    {
        Locked held;
        std::string waits;
        for (const WaitingFor* wait = innermostWait; wait != nullptr; wait = wait->outer())
            waits = wait->what() + (waits.empty() ? "" : " > " + waits);
        std::fprintf(stderr, "\nhang: %s ran past its bound of %lu s\n  step: %s\n  waiting for: %s\n",
                     caseName.c_str(), boundMs / 1000, step[0] ? step : "(none noted)",
                     waits.empty() ? "(nothing: inside a call of its own or of the module)" : waits.c_str());
    }
    std::fprintf(stderr, "  top-level windows on this display:\n");
    int count = 0;
    EnumWindows(PrintWindow, reinterpret_cast<LPARAM>(&count));
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();
}

class CaseWatch : public testing::EmptyTestEventListener {
public:
    CaseWatch() : boundMs_(BoundMs()), caseEnded_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    void OnTestStart(const testing::TestInfo& info) override
    {
        {
            Locked held;
            caseName = std::string(info.test_suite_name()) + "." + info.name();
            step[0] = '\0';
            innermostWait = nullptr;
        }
        ResetEvent(caseEnded_);
        thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        SetEvent(caseEnded_);
        if (thread_ != nullptr) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }

private:
    static DWORD WINAPI Watch(void* self)
    {
        const auto* watch = static_cast<CaseWatch*>(self);
        if (WaitForSingleObject(watch->caseEnded_, watch->boundMs_) == WAIT_TIMEOUT)
            ReportAndFail(watch->boundMs_);
        return 0;
    }

    DWORD boundMs_;
    HANDLE caseEnded_;
    HANDLE thread_ = nullptr;
};

// Every Win32 test program links this file through the support library.
[[maybe_unused]] const bool installed = [] {
    InitializeCriticalSection(&lock);
    testing::UnitTest::GetInstance()->listeners().Append(new CaseWatch);
    return true;
}();

}  // namespace

void NoteStep(const char* format, ...)
{
    Locked held;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(step, sizeof step, format, arguments);
    va_end(arguments);
}

WaitingFor::WaitingFor(const char* what) : what_(what)
{
    Locked held;
    outer_ = innermostWait;
    innermostWait = this;
}

WaitingFor::~WaitingFor()
{
    Locked held;
    innermostWait = outer_;
}
