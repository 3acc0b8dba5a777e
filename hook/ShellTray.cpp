#include "ShellTray.h"

#include "SharedSection.h"
#include "Subclassing.h"

#include <cstring>

namespace snarehook {

bool Readable(const void* p, SIZE_T size) {
  if (p == nullptr) return false;
  MEMORY_BASIC_INFORMATION m;
  if (VirtualQuery(p, &m, sizeof m) != sizeof m || m.State != MEM_COMMIT) return false;
  if (m.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (!(m.Protect & readable)) return false;
  const auto end = reinterpret_cast<const char*>(m.BaseAddress) + m.RegionSize;
  return reinterpret_cast<const char*>(p) + size <= end;
}

bool ReadButton(int index, TBBUTTON* button, TrayRecord* record) {
  std::memset(button, 0, sizeof *button);
  if (!CallOld(g_shared.toolbar, TB_GETBUTTON, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(button)))
    return false;
  const void* data = reinterpret_cast<const void*>(button->dwData);
  if (!Readable(data, sizeof *record)) return false;
  std::memcpy(record, data, sizeof *record);
  return true;
}

std::optional<cvl::NotifyCopyData> ReadNotify(const COPYDATASTRUCT* cds) {
  if (cds == nullptr || !Readable(cds, sizeof *cds) ||
      (cds->cbData > 0 && !Readable(cds->lpData, cds->cbData)))
    return std::nullopt;
  return cvl::ParseNotifyCopyData(static_cast<std::uint32_t>(cds->dwData), cds->lpData,
                                  cds->cbData);
}

}  // namespace snarehook
