#pragma once
// Drawing contexts and bitmaps for pictures that are drawn in memory and then
// handed on (the overlay of a mixing renderer). A memory drawing context is a
// QImage of the selected bitmap's size and pixel format; its HDC is that
// image's address, which is what a renderer given the context reads. Bitmaps
// are numbered handles in a table, so a stale or doubled handle is refused
// instead of touching freed memory. User-interface thread only.
#include <cstddef>
#include <cstdint>

#include <QColor>

#include "media/framework/Types.h"

class QImage;

namespace media::gdi {

// A drawing object (only bitmaps here); 0 is none.
using HGDIOBJ = std::uintptr_t;
using HBITMAP = HGDIOBJ;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return COLORREF(r) | COLORREF(g) << 8 | COLORREF(b) << 16;
}
QColor ColorOf(COLORREF color);
COLORREF ColorRefOf(const QColor& color);

// What GetObject tells of a bitmap.
struct BITMAP {
  std::int32_t bmType = 0;
  std::int32_t bmWidth = 0;
  std::int32_t bmHeight = 0;
  std::int32_t bmWidthBytes = 0;  // bytes per row, rounded up to an even number
  std::uint16_t bmPlanes = 1;
  std::uint16_t bmBitsPixel = 0;
  std::uint32_t bmBits = 0;  // the pixels are not reachable through this record
};

// The display context of a window (nullptr: the screen); 32 bits per pixel.
// Give it back with ReleaseDC.
HDC GetDC(QWidget* window);
int ReleaseDC(QWidget* window, HDC dc);
// A memory context in the format of `dc` (nullptr: the screen's), with the
// one-pixel monochrome stock bitmap selected, as every new memory context.
HDC CreateCompatibleDC(HDC dc);
// Fails (false) for a display context or an unknown one. The selected bitmap
// stays alive unless it is deleted afterwards.
bool DeleteDC(HDC dc);

// A bitmap of the size with 1, 4, 8, 15, 16, 24 or 32 bits per pixel, black;
// 0 for an empty size or another depth.
HBITMAP CreateBitmap(int width, int height, int bitsPerPixel);
// Selects the bitmap into a memory context and answers the bitmap selected
// before; 0 (nothing changes) for an unknown context or bitmap, or a bitmap
// selected into another context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Fails for a bitmap selected into a context, a stock object or an unknown
// handle.
bool DeleteObject(HGDIOBJ object);
// Fills `out` and answers sizeof(BITMAP); 0 for an unknown handle.
int GetObject(HGDIOBJ object, BITMAP& out);

// The picture a memory context draws on, nil for an unknown or display
// context.
QImage* SurfaceOf(HDC dc);
// A bitmap's pixels: its own while selected nowhere, the context's while
// selected into one; nil for an unknown handle.
QImage* PixelsOf(HBITMAP bitmap);

// Live objects, for leak checks: bitmaps (not counting the stock bitmap) and
// contexts (memory and display).
std::size_t LiveBitmapCount();
std::size_t LiveDCCount();

}  // namespace media::gdi
