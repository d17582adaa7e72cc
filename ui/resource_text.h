// Loading the module's strings into the fixed buffers the windows use.
#ifndef GLIMBER_UI_RESOURCE_TEXT_H
#define GLIMBER_UI_RESOURCE_TEXT_H

#include <windows.h>

enum { kLabelBufferSize = 100 };

// The string `id` into a kLabelBufferSize buffer.
void LoadLabel(UINT id, char* buffer);

// The string `id` followed by "..." (loaded with room left for the dots).
void LoadLabelWithEllipsis(UINT id, char* buffer);

#endif
