// The GDI objects a process holds, for the tests and the benchmarks alike.
#pragma once

#include <windows.h>

namespace vxtest {

// What the system reports; where it reports none (Wine), the live entries of the process's GDI
// handle table. 0 when neither can be read.
DWORD ReadGdiObjects(HANDLE process);

}  // namespace vxtest
