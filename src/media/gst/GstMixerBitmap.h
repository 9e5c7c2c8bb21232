#pragma once
#include <QImage>
#include <functional>

#include "media/framework/Renderers.h"

namespace media::gst {

// The mixer of a mixing renderer: one picture blended over every frame.
// SetAlphaBitmap copies the picture of the drawing context it is given, so
// drawing on that context afterwards shows only at the next SetAlphaBitmap;
// UpdateAlphaBitmapParameters changes placement, alpha, colour key, source
// rectangle and the disable flag of the picture already given. The source
// rectangle of the picture (all of it without VMR9AlphaBitmap_SrcRect) goes
// into the destination rectangle in the frame's normalised coordinates, with
// the alpha, leaving out pixels of the colour key (VMR9AlphaBitmap_SrcColorKey);
// VMR9AlphaBitmap_Disable hides it. There are no surfaces on this platform:
// a picture comes only from a drawing context (VMR9AlphaBitmap_hDC).
// User-interface thread only; `changed` runs after every accepted change.
class GstMixerBitmap : public IVMRMixerBitmap9 {
 public:
  explicit GstMixerBitmap(std::function<void()> changed);

  // E_INVALIDARG for a record without a drawing context (unless it only
  // disables), a source rectangle outside the picture, an empty destination
  // or an alpha outside 0 to 1; nothing changes then.
  HRESULT SetAlphaBitmap(const VMR9AlphaBitmap& bitmap) override;
  // VFW_E_WRONG_STATE before a picture was given. The drawing context in the
  // record is not looked at.
  HRESULT UpdateAlphaBitmapParameters(const VMR9AlphaBitmap& bitmap) override;
  // The current parameters, without a drawing context.
  HRESULT GetAlphaBitmapParameters(VMR9AlphaBitmap& bitmap) override;

  bool Shown() const;
  // Blends the picture over `frame`.
  void Draw(QImage& frame) const;

 private:
  HRESULT Check(const VMR9AlphaBitmap& bitmap, const QImage& picture) const;
  void Accept(const VMR9AlphaBitmap& bitmap);
  void Rekey();

  std::function<void()> changed_;
  QImage picture_;  // the copy taken at SetAlphaBitmap
  QImage keyed_;    // its source rectangle, colour key transparent, premultiplied
  VMR9AlphaBitmap parameters_;
};

}  // namespace media::gst
