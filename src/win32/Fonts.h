#pragma once
// Fonts by face, height in pixels (the character height, as a negative LOGFONT height asks)
// and weight; the caller's FontOwner releases them.
#include <windows.h>

namespace cvl::win32 {

inline HFONT MakeFont(const char* face, int height, int weight, bool underline = false) {
  LOGFONTA lf{};
  lf.lfHeight = -height;
  lf.lfWeight = weight;
  lf.lfUnderline = underline ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return ::CreateFontIndirectA(&lf);
}

}  // namespace cvl::win32
