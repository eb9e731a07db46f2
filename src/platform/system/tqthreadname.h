// The calling thread's name, as debuggers, top -H and ps show it.
#pragma once

namespace tqplat {

// Names the calling thread; the system keeps the first 15 bytes. NULL or "" leaves the name as it is.
void NameCurrentThread(const char* name);

} // namespace tqplat
