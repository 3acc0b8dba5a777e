#pragma once
// What placement asks of the Corvalet Panel and the Corvalet Menu. The views themselves come
// with their own windows; until then NoViews stands in.
#include "registry/TIconInfo.h"

namespace cvl {

class PlacementViews {
 public:
  virtual ~PlacementViews() = default;
  virtual void RebuildPanel() = 0;
  virtual void RebuildMenu() = 0;
  virtual bool PanelVisible() = 0;
  // Runs the panel's show handling again so that it re-sizes and re-positions itself.
  virtual void PanelShowAgain() = 0;
  virtual bool PanelHasImageAt(int position) = 0;
  virtual void UpdateCell(int position, const TIconInfo& record) = 0;
  virtual void ClearCells() = 0;
};

class NoViews final : public PlacementViews {
 public:
  void RebuildPanel() override {}
  void RebuildMenu() override {}
  bool PanelVisible() override { return false; }
  void PanelShowAgain() override {}
  bool PanelHasImageAt(int) override { return false; }
  void UpdateCell(int, const TIconInfo&) override {}
  void ClearCells() override {}
};

}  // namespace cvl
