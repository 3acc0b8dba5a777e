#pragma once
// Corvalet's own tray icon (RxTrayIcon1). Switching it off deletes its notification icon,
// switching it on adds it again; the shell reports both like any other program's icon.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "registry/OwnIcon.h"

namespace cvl {

inline constexpr std::uint32_t kOwnIconCallback = kWmApp + 1;
inline constexpr const char* kOwnIconHint = "Quillon Corvalet 2.0";
inline constexpr std::uint32_t kOwnIconVersion = 3;  // NOTIFYICON_VERSION

class OwnTrayIcon final : public OwnIcon {
 public:
  explicit OwnTrayIcon(Desktop& desktop) : desktop_(desktop) {}

  void SetOwner(Hwnd window) { owner_ = window; }
  Hwnd Owner() const override { return owner_; }
  // Picture 0 is shown while Corvalet is on, picture 1 while it is off.
  void SetPictures(std::vector<Hicon> pictures) { pictures_ = std::move(pictures); }
  void SetPictureIndex(int index);
  void SetActive(bool active) override;
  bool Active() const override { return active_; }
  int PictureIndex() const { return pictureIndex_; }
  // Told after the icon has been added again.
  std::function<void()> OnAdded;
  // A balloon at the icon (NIM_MODIFY with NIF_INFO); an empty text takes it away. False
  // when the icon is not in the tray or the shell refused.
  bool ShowBalloon(const std::string& title, const std::string& text, std::uint32_t timeoutMs,
                   std::uint32_t infoFlags);

 private:
  NotifyIconData Data() const;

  Desktop& desktop_;
  Hwnd owner_ = 0;
  std::vector<Hicon> pictures_;
  int pictureIndex_ = 0;
  bool active_ = false;
};

}  // namespace cvl
