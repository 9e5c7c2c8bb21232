#include "media/gdi/Gdi.h"

#include <QImage>
#include <map>
#include <memory>

namespace media::gdi {
namespace {

constexpr int kDisplayBitsPerPixel = 32;
// The one-pixel monochrome bitmap every new memory context starts with.
constexpr HBITMAP kStockBitmap = 0x10;

struct Context;

struct Bitmap {
  QImage pixels;  // empty while selected into a context, which holds them
  int bitsPerPixel = 0;
  Context* selectedIn = nullptr;
};

struct Context {
  QImage surface;  // the selected bitmap's pixels; its address is the HDC
  bool display = false;
  HBITMAP selected = 0;
};

struct Table {
  std::map<HBITMAP, Bitmap> bitmaps;
  std::map<const QImage*, std::unique_ptr<Context>> contexts;
  HBITMAP next = 0x1000;  // handles are never reused
};

Table& Objects() {
  static Table table;
  return table;
}

Context* ContextOf(HDC dc) {
  auto it = Objects().contexts.find(dc);
  return it == Objects().contexts.end() ? nullptr : it->second.get();
}

Bitmap* BitmapOf(HGDIOBJ object) {
  auto it = Objects().bitmaps.find(object);
  return it == Objects().bitmaps.end() ? nullptr : &it->second;
}

QList<QRgb> Palette(int colours) {
  QList<QRgb> table;
  if (colours == 16) {
    for (int i = 0; i < 16; ++i) {
      const int level = i & 8 ? 255 : 128;
      table.append(qRgb(i & 1 ? level : 0, i & 2 ? level : 0, i & 4 ? level : 0));
    }
    table[7] = qRgb(192, 192, 192);
    table[8] = qRgb(128, 128, 128);
    return table;
  }
  // A 6x6x6 colour cube, then grey steps.
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) table.append(qRgb(r * 51, g * 51, b * 51));
  while (table.size() < 256) {
    const int grey = (table.size() - 216) * 255 / 39;
    table.append(qRgb(grey, grey, grey));
  }
  return table;
}

QImage NewPixels(int width, int height, int bitsPerPixel) {
  QImage image;
  switch (bitsPerPixel) {
    case 1:
      image = QImage(width, height, QImage::Format_Mono);
      image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
      break;
    case 4:
    case 8:
      image = QImage(width, height, QImage::Format_Indexed8);
      image.setColorTable(Palette(bitsPerPixel == 4 ? 16 : 256));
      break;
    case 15: image = QImage(width, height, QImage::Format_RGB555); break;
    case 16: image = QImage(width, height, QImage::Format_RGB16); break;
    case 24: image = QImage(width, height, QImage::Format_BGR888); break;
    case 32: image = QImage(width, height, QImage::Format_RGB32); break;
    default: return {};
  }
  image.fill(0);
  return image;
}

// Hands the context's pixels back to the bitmap it had selected.
void Deselect(Context& context) {
  if (Bitmap* old = BitmapOf(context.selected)) {
    old->pixels = std::move(context.surface);
    old->selectedIn = nullptr;
  }
  context.surface = QImage();
  context.selected = 0;
}

void SelectStock(Context& context) {
  Deselect(context);
  context.surface = NewPixels(1, 1, 1);
  context.selected = kStockBitmap;
}

HDC NewContext(bool display) {
  auto context = std::make_unique<Context>();
  context->display = display;
  if (display) context->surface = NewPixels(1, 1, kDisplayBitsPerPixel);
  else SelectStock(*context);
  const HDC dc = &context->surface;
  Objects().contexts.emplace(dc, std::move(context));
  return dc;
}

}  // namespace

QColor ColorOf(COLORREF color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

COLORREF ColorRefOf(const QColor& color) {
  return RGB(std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue()));
}

HDC GetDC(QWidget*) { return NewContext(true); }

int ReleaseDC(QWidget*, HDC dc) {
  Context* context = ContextOf(dc);
  if (!context || !context->display) return 0;
  Objects().contexts.erase(dc);
  return 1;
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !ContextOf(dc)) return nullptr;
  return NewContext(false);
}

bool DeleteDC(HDC dc) {
  Context* context = ContextOf(dc);
  if (!context || context->display) return false;
  Deselect(*context);
  Objects().contexts.erase(dc);
  return true;
}

HBITMAP CreateBitmap(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0) return 0;
  QImage pixels = NewPixels(width, height, bitsPerPixel);
  if (pixels.isNull()) return 0;
  const HBITMAP handle = Objects().next;
  Objects().next += 4;
  Objects().bitmaps.emplace(handle, Bitmap{std::move(pixels), bitsPerPixel, nullptr});
  return handle;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  Context* context = ContextOf(dc);
  if (!context || context->display) return 0;
  const HGDIOBJ previous = context->selected;
  if (object == kStockBitmap) {
    SelectStock(*context);
    return previous;
  }
  Bitmap* bitmap = BitmapOf(object);
  if (!bitmap || (bitmap->selectedIn && bitmap->selectedIn != context)) return 0;
  if (bitmap->selectedIn == context) return previous;
  Deselect(*context);
  context->surface = std::move(bitmap->pixels);
  context->selected = object;
  bitmap->selectedIn = context;
  return previous;
}

bool DeleteObject(HGDIOBJ object) {
  Bitmap* bitmap = BitmapOf(object);
  if (!bitmap || bitmap->selectedIn) return false;
  Objects().bitmaps.erase(object);
  return true;
}

int GetObject(HGDIOBJ object, BITMAP& out) {
  QImage stock;
  const QImage* pixels = nullptr;
  int bitsPerPixel = 1;
  if (object == kStockBitmap) {
    stock = NewPixels(1, 1, 1);
    pixels = &stock;
  } else if (Bitmap* bitmap = BitmapOf(object)) {
    pixels = PixelsOf(object);
    bitsPerPixel = bitmap->bitsPerPixel;
  }
  if (!pixels) return 0;
  out = BITMAP{};
  out.bmWidth = pixels->width();
  out.bmHeight = pixels->height();
  out.bmWidthBytes = (pixels->width() * bitsPerPixel + 15) / 16 * 2;
  out.bmBitsPixel = std::uint16_t(bitsPerPixel == 15 ? 16 : bitsPerPixel);
  return int(sizeof(BITMAP));
}

QImage* SurfaceOf(HDC dc) {
  Context* context = ContextOf(dc);
  return context && !context->display ? &context->surface : nullptr;
}

QImage* PixelsOf(HBITMAP handle) {
  Bitmap* bitmap = BitmapOf(handle);
  if (!bitmap) return nullptr;
  return bitmap->selectedIn ? &bitmap->selectedIn->surface : &bitmap->pixels;
}

std::size_t LiveBitmapCount() { return Objects().bitmaps.size(); }
std::size_t LiveDCCount() { return Objects().contexts.size(); }

}  // namespace media::gdi
