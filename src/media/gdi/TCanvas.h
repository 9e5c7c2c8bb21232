#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "media/gdi/Gdi.h"

class QPainter;

namespace media::gdi {

enum TFontStyle : std::uint8_t { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };
// A set of TFontStyle: element n is bit n.
using TFontStyles = std::uint8_t;
constexpr TFontStyles FontStyles(TFontStyle style) { return TFontStyles(1u << style); }

enum TBrushStyle : std::uint8_t { bsSolid = 0, bsClear = 1 };

// Brush, font and text output on the picture of a drawing context. Unbound
// (no context) it draws nothing: drawing then raises EInvalidOperation
// "Canvas does not allow drawing". Text is drawn as the platform's bitmap
// text is, without smoothing, so that a colour key on the picture separates
// text from background exactly. User-interface thread.
class TCanvas {
 public:
  struct TBrush {
    COLORREF Color = RGB(255, 255, 255);
    TBrushStyle Style = bsSolid;
  };
  struct TFont {
    COLORREF Color = RGB(0, 0, 0);
    TFontStyles Style = 0;
    int Size = 8;  // points, at 96 pixels per inch
    std::string Name = "Tahoma";
  };

  TBrush Brush;
  TFont Font;

  HDC Handle() const { return dc_; }
  // Binds the canvas to a memory context, or unbinds it (nullptr).
  void SetHandle(HDC dc) { dc_ = dc; }
  // The whole picture; empty while unbound.
  RECT ClipRect() const;

  // Fills with the brush colour (nothing for a clear brush).
  void FillRect(const RECT& rect);
  // UTF-8 text with its cell's top left at (x, y); a solid brush fills the
  // cell behind the text first.
  void TextOut(int x, int y, const std::string& text);

 private:
  void Paint(const std::function<void(QPainter&)>& draw);

  HDC dc_ = nullptr;
};

}  // namespace media::gdi
