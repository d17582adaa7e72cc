// A Win32 case that runs past its bound names itself: what it was doing, what it
// was waiting for and the top-level windows of its display, then fails. A case
// stuck inside Wine (a PeekMessage that never returns) is seen from a thread of
// its own, well before ctest's timeout would end it with nothing said.
#ifndef GLIMBER_TESTS_WIN_CASE_WATCH_H
#define GLIMBER_TESTS_WIN_CASE_WATCH_H

// What the case is doing now, printf-style ("fuzz seed 6, message 1200").
void NoteStep(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What the case waits for while this object lives; nested waits are reported
// outermost first ("the screen pattern to show > messages pumped").
class WaitingFor {
public:
    explicit WaitingFor(const char* what);
    ~WaitingFor();
    WaitingFor(const WaitingFor&) = delete;
    WaitingFor& operator=(const WaitingFor&) = delete;

    const char* what() const { return what_; }
    const WaitingFor* outer() const { return outer_; }

private:
    const char* what_;
    const WaitingFor* outer_;
};

#endif
