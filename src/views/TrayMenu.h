#pragma once
// The Corvalet Menu (RxPopupMenu1) as state the popup menu shows: the nine fixed entries, the
// icon entries between the second and third separators, the image list ImageList1, and the
// painted margin's text, gradient and rotated font.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace cvl {

struct MenuItem {
  std::string Name;  // the fixed entries' component names; empty for icon entries
  std::string Caption;
  int ImageIndex = -1;
  int Tag = -1;          // -1 for the fixed entries, the menu-list index for icon entries
  bool Checked = false;  // only "Enabled" uses it: its on/off state, not drawn as a check
  bool IsSeparator() const { return Caption == "-" && Tag < 0; }
};

// Positions of the fixed entries while the menu has no icon entries.
inline constexpr int kMenuAbout = 0;
inline constexpr int kMenuHelp = 1;
inline constexpr int kMenuOptions = 3;
inline constexpr int kMenuPanel = 4;      // the Corvalet Panel, for the keyboard
inline constexpr int kIconEntriesAt = 6;  // icon entries are inserted here
inline constexpr int kFixedImages = 5;    // About, Help, Options, Enabled, Exit

class TrayMenu {
 public:
  TrayMenu();

  std::vector<MenuItem> Items;
  // The fixed entries' five pictures belong to the menu's window and stand here as 0.
  std::vector<Hicon> ImageList1;

  int Count() const { return static_cast<int>(Items.size()); }
  // "Enabled" is the second-to-last entry, "Exit" the last.
  MenuItem& Enabled1() { return Items[Items.size() - 2]; }
  // "Corvalet  2.0" once the menu holds an icon entry, else "Corvalet".
  std::string MarginText() const;
};

inline constexpr int kMarginWidth = 23;
inline constexpr int kMarginBands = 32;

struct ColourBand {
  Rect Area;
  std::uint32_t Colour = 0;  // 0x00BBGGRR
};

// The margin's default painting: a top-to-bottom gradient from black to pure blue in 32 bands,
// three pixels narrower than the margin.
std::vector<ColourBand> MarginGradient(const Rect& margin);

// A font as the canvas holds it, and the LOGFONT fields MakeRotatedFont fills from it.
struct FontSpec {
  std::string Name;
  int Height = 0;
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  enum class Pitch { Default, Variable, Fixed } PitchKind = Pitch::Default;
};

struct LogFontSpec {
  std::int32_t lfHeight = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfPitchAndFamily = 0;
  std::string lfFaceName;
};

LogFontSpec MakeRotatedFont(const FontSpec& font, int angle);
// The margin's font before rotation: bold white Arial, 16 high.
FontSpec MarginFont();
inline constexpr std::uint32_t kMarginTextColour = 0xFFFFFF;

}  // namespace cvl
