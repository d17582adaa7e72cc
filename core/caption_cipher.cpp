#include "caption_cipher.h"

#include <string.h>

void UnscrambleText(const char* stored, char* out)
{
    strncpy(out, stored, kCaptionBufferSize - 1);
    out[kCaptionBufferSize - 1] = '\0';
    // The length is measured again at every step: a byte that unscrambles to 0 ends the text there.
    for (size_t i = 0; i < strlen(out); ++i)
        out[i] = static_cast<char>(UnscrambleByte(static_cast<unsigned char>(out[i])));
}
