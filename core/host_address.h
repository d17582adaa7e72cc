// Addresses a host hands over. The lowest 64 KiB of a Windows address space are
// never mapped, so a null or small integer where an address belongs is refused
// instead of followed into an access violation inside the host's process.
#ifndef GLIMBER_CORE_HOST_ADDRESS_H
#define GLIMBER_CORE_HOST_ADDRESS_H

#include <stdint.h>

inline bool IsPlausibleAddress(uintptr_t address)
{
    return address >= 0x10000;
}

inline bool IsPlausibleAddress(const void* address)
{
    return IsPlausibleAddress(reinterpret_cast<uintptr_t>(address));
}

#endif
