// Any language file: it loads without harm, and one that could not be applied changes no
// caption and no menu entry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "localization/TLocal.h"
#include "sim/SimDesktop.h"
#include "views/TrayMenu.h"

namespace {

std::string MenuCaptions(const cvl::TrayMenu& menu) {
  std::string all;
  for (const cvl::MenuItem& item : menu.Items) all += item.Caption + '\n';
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cvl::sim::SimDesktop desktop;
  desktop.Profile().SetFileText("x.lng", std::string(reinterpret_cast<const char*>(data), size));
  cvl::TLocal local(desktop);
  cvl::Captions captions;
  cvl::TrayMenu menu;
  const std::string before = MenuCaptions(menu);
  if (!local.LoadLanguage("x.lng", captions, menu) &&
      (!(captions == cvl::Captions{}) || MenuCaptions(menu) != before))
    __builtin_trap();
  return 0;
}
