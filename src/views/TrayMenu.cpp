#include "views/TrayMenu.h"

namespace cvl {

TrayMenu::TrayMenu()
    : Items{{"About1", "About", 0, -1},
            {"Help1", "Help", 1, -1},
            {"N1", "-", -1, -1},
            {"Options1", "Options", 2, -1},
            {"Panel1", "Corvalet Panel", -1, -1},
            {"N3", "-", -1, -1},
            {"N2", "-", -1, -1},
            {"Enabled1", "Enabled", 3, -1},
            {"Exit1", "Exit", 4, -1}},
      ImageList1(kFixedImages, 0) {}

std::string TrayMenu::MarginText() const {
  return Count() > kIconEntriesAt + 3 ? "Corvalet  2.0" : "Corvalet";
}

std::vector<ColourBand> MarginGradient(const Rect& margin) {
  std::vector<ColourBand> bands;
  const int height = margin.Height();
  for (int i = 0; i < kMarginBands; ++i) {
    ColourBand band;
    band.Area = {margin.left, margin.top + height * i / kMarginBands, margin.right - 3,
                 margin.top + height * (i + 1) / kMarginBands};
    const auto blue = static_cast<std::uint32_t>(255 * i / (kMarginBands - 1));
    band.Colour = blue << 16;
    bands.push_back(band);
  }
  return bands;
}

LogFontSpec MakeRotatedFont(const FontSpec& font, int angle) {
  LogFontSpec lf;
  lf.lfHeight = font.Height;
  lf.lfEscapement = angle * 10;
  lf.lfWeight = font.Bold ? 700 : 400;
  lf.lfItalic = font.Italic ? 1 : 0;
  lf.lfUnderline = font.Underline ? 1 : 0;
  lf.lfStrikeOut = font.StrikeOut ? 1 : 0;
  lf.lfCharSet = 1;  // DEFAULT_CHARSET
  lf.lfPitchAndFamily = font.PitchKind == FontSpec::Pitch::Variable ? 2
                        : font.PitchKind == FontSpec::Pitch::Fixed  ? 1
                                                                    : 0;
  lf.lfFaceName = font.Name;
  return lf;
}

FontSpec MarginFont() {
  FontSpec font;
  font.Name = "Arial";
  font.Height = 16;
  font.Bold = true;
  return font;
}

}  // namespace cvl
