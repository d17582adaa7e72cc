#include "resource_text.h"

#include <strsafe.h>

#include "../plugin/module_state.h"

void LoadLabel(UINT id, char* buffer)
{
    buffer[0] = '\0';
    LoadStringA(moduleInstance, id, buffer, kLabelBufferSize);
}

void LoadLabelWithEllipsis(UINT id, char* buffer)
{
    const int kEllipsisRoom = 3;
    buffer[0] = '\0';
    LoadStringA(moduleInstance, id, buffer, kLabelBufferSize - kEllipsisRoom);
    StringCchCatA(buffer, kLabelBufferSize, "...");
}
