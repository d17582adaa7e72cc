// Functions of the system DLLs found by name at run time: calls that older Windows
// versions lack, or that the module's import table is not to grow by.
#ifndef GLIMBER_CORE_SYSTEM_FUNCTION_H
#define GLIMBER_CORE_SYSTEM_FUNCTION_H

#include <windows.h>

// The function `name` of the loaded system DLL `dll`, or null where there is none.
void* SystemFunction(const char* dll, const char* name);

#endif
