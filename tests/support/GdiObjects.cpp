#include "tests/support/GdiObjects.h"

#include <winternl.h>

#include <algorithm>
#include <vector>

namespace vxtest {

namespace {

// One entry of the GDI handle table as Wine lays it out (64-bit fields in both builds).
struct GdiTableEntry {
  UINT64 object;
  ULONG owner;
  USHORT unique;
  UCHAR type;  // 0: a free entry
  UCHAR flags;
  UINT64 userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24, "the table's entry layout");
constexpr size_t kGdiTableEntries = 0x10000;
#ifdef _WIN64
constexpr size_t kPebGdiTableOffset = 0xF8;
#else
constexpr size_t kPebGdiTableOffset = 0x94;
#endif

// Live entries of the process's GDI handle table, which its PEB points to: where the system
// reports no GDI object count (Wine), this table is the process's own. 0 when it cannot be read.
DWORD CountGdiObjectsInTable(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return 0;
  const auto* tableField = reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset;
  void* table = nullptr;
  if (!::ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || !table) return 0;
  std::vector<GdiTableEntry> entries(kGdiTableEntries);
  if (!::ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiTableEntry), nullptr)) return 0;
  return static_cast<DWORD>(
      std::count_if(entries.begin(), entries.end(), [](const GdiTableEntry& entry) { return entry.type != 0; }));
}

}  // namespace

DWORD ReadGdiObjects(HANDLE process) {
  const DWORD reported = ::GetGuiResources(process, GR_GDIOBJECTS);
  return reported ? reported : CountGdiObjectsInTable(process);
}

}  // namespace vxtest
