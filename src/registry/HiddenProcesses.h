#pragma once
// The processes whose icons go to the panel or the menu, told to the library after every
// placement pass: the shell's thread then hides such a process's next icon the moment the
// shell adds it, where Corvalet's own hide would come only after its reading of the tray. A
// process is kept after its icons have gone (a program that removes and re-adds its icon is
// the case that matters) until it ends; a process ID used again by a new program is judged by
// the library once at most before Corvalet's reading puts its icon where it belongs.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Desktop.h"
#include "registry/TIconList.h"

namespace cvl {

class HiddenProcesses {
 public:
  explicit HiddenProcesses(Desktop& desktop) : desktop_(desktop) {}

  // After a placement pass: each process's place from its icons in it, the tray first where
  // they differ. Corvalet's own process is never listed.
  void Note(const TIconList& icons, std::uint32_t ownProcess);
  void Ended(std::uint32_t process);
  // The processes the library hides ahead now.
  const std::vector<std::uint32_t>& Listed() const { return told_; }
  // Switched off: the library forgets its list, and the next pass tells it whole.
  void Forget();
  // The processes whose icons are hidden, each time the list changes.
  std::function<void(const std::vector<std::uint32_t>&)> Publish;

  static constexpr std::size_t kMostKept = 128;  // the library's size

 private:
  struct Known {
    std::uint32_t process;
    bool hidden;
  };
  void Tell();

  Desktop& desktop_;
  std::vector<Known> known_;  // in the order first placed
  std::vector<std::uint32_t> told_;
};

}  // namespace cvl
