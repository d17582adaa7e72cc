// The About box's hidden caption is kept scrambled in the module's data so it
// does not show up in a plain look at the binary.
#ifndef GLIMBER_CORE_CAPTION_CIPHER_H
#define GLIMBER_CORE_CAPTION_CIPHER_H

#include <stddef.h>

constexpr unsigned char ScrambleByte(unsigned char plain)
{
    return static_cast<unsigned char>((plain ^ 0x7F) + 31);
}

constexpr unsigned char UnscrambleByte(unsigned char stored)
{
    return static_cast<unsigned char>(static_cast<unsigned char>(stored - 31) ^ 0x7F);
}

// The scrambled form of a string literal, NUL-terminated, computed by the compiler.
template <size_t N>
struct ScrambledText {
    char bytes[N];
};

template <size_t N>
consteval ScrambledText<N> Scramble(const char (&plain)[N])
{
    ScrambledText<N> out{};
    for (size_t i = 0; i + 1 < N; ++i) {
        // 0x9E would scramble to 0 and cut the stored text short.
        if (static_cast<unsigned char>(plain[i]) == 0x9E)
            throw "0x9E cannot be stored";
        out.bytes[i] = static_cast<char>(ScrambleByte(static_cast<unsigned char>(plain[i])));
    }
    out.bytes[N - 1] = '\0';
    return out;
}

enum { kCaptionBufferSize = 100 };

// Plain text of `stored` into `out` (kCaptionBufferSize bytes), always terminated.
void UnscrambleText(const char* stored, char* out);

#endif
