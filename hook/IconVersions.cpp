#include "IconVersions.h"

#include <shellapi.h>

#include "Subclassing.h"

namespace snarehook {

namespace {

constexpr UINT kSetVersion = 4;  // NIM_SETVERSION
// Icons with a version set are few: past this many, the rest are taken for the first version.
constexpr int kMostVersioned = 512;
struct VersionedIcon {
  HWND owner;
  UINT id;
  UINT version;
};
SNAREHOOK_ZEROED VersionedIcon g_versions[kMostVersioned];
int g_versionCount;

int IndexOf(HWND owner, UINT id) {
  for (int i = 0; i < g_versionCount; ++i)
    if (g_versions[i].owner == owner && g_versions[i].id == id) return i;
  return -1;
}

void Remove(int at) {
  if (at >= 0) g_versions[at] = g_versions[--g_versionCount];
}

}  // namespace

UINT IconVersion(HWND owner, UINT id) {
  const int at = IndexOf(owner, id);
  return at >= 0 ? g_versions[at].version : 0;
}

bool NoteIconVersion(const cvl::NotifyCopyData& n) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(n.owner));
  const int at = IndexOf(owner, n.uID);
  // An icon added anew starts at the first version: its program sets the version after each
  // add, as the shell asks it to.
  if (n.message == NIM_ADD || n.message == NIM_DELETE) {
    Remove(at);
    return false;
  }
  // The version shares its field with the balloon's timeout, in the records that carry it.
  if (n.message != kSetVersion || !n.hasLaterFields) return false;
  const UINT version = n.timeout;
  if (version == IconVersion(owner, n.uID)) return false;
  if (version == 0)
    Remove(at);
  else if (at >= 0)
    g_versions[at].version = version;
  else {
    // A program that ended without deleting its icons leaves its entries here: they go first.
    if (g_versionCount == kMostVersioned)
      for (int i = g_versionCount - 1; i >= 0; --i)
        if (!::IsWindow(g_versions[i].owner)) Remove(i);
    if (g_versionCount == kMostVersioned) return false;
    g_versions[g_versionCount++] = {owner, n.uID, version};
  }
  return true;
}

void ForgetIconVersions() {
  g_versionCount = 0;
}

}  // namespace snarehook
