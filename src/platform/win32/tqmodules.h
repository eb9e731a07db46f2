// Modules built into the platform layer, reachable by name through LoadLibraryA and GetProcAddress
// (for example "imm32.dll"). A library that provides one registers it from a static object in the
// same source file as its functions.
#pragma once

#include "platform/win32/tqwintypes.h"

namespace tqplat {

typedef FARPROC (*BuiltinProcLookup)(const char* procName);

// Registers (or replaces) the built-in module `name` (compared without regard to case).
void RegisterBuiltinModule(const char* name, BuiltinProcLookup lookup);

} // namespace tqplat
