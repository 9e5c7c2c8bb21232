#pragma once
#include <memory>
#include <optional>
#include <string>

#include "media/framework/Filters.h"
#include "media/gst/GstRef.h"

namespace media::gst {

class GstFilter;
class GstFilterLink;

// A pin of one of our filters: a ghost pad on the filter's bin, with the
// pin's name, direction and, for an output, its category (capture or
// preview). A pin does not keep its filter alive; once the filter is gone its
// calls answer E_UNEXPECTED. User-interface thread only.
class GstPin : public IPin {
 public:
  GstPin(std::shared_ptr<GstFilterLink> owner, PadRef pad, std::u16string name, PIN_DIRECTION direction,
         std::optional<GUID> category);

  // Links this output to `receivePin`, an input of another of our filters in
  // the same graph, directly (no converter). mediaType, when given, must be
  // acceptable to both pins. Refused while either filter is not stopped.
  HRESULT Connect(const PinPtr& receivePin, const AM_MEDIA_TYPE* mediaType) override;
  HRESULT Disconnect() override;
  HRESULT ConnectedTo(PinPtr& pin) override;
  HRESULT ConnectionMediaType(AM_MEDIA_TYPE& mediaType) override;
  HRESULT QueryPinInfo(PIN_INFO& info) override;
  HRESULT QueryDirection(PIN_DIRECTION& direction) override;
  HRESULT QueryId(std::u16string& id) override;

  GstPad* Pad() const { return pad_.get(); }
  const std::u16string& Name() const { return name_; }
  PIN_DIRECTION Direction() const { return direction_; }
  const std::optional<GUID>& Category() const { return category_; }
  bool IsConnected() const;
  // The peer's pin object, nil when unconnected or linked to a foreign pad.
  std::shared_ptr<GstPin> Peer() const;
  // The owning filter; nil once it is gone.
  std::shared_ptr<GstFilter> Owner() const;
  // The formats the pin can take or give now (caps query), never nil.
  CapsRef Formats() const;
  // The format of the connection: the negotiated one, or before negotiation
  // the one the two pins would agree on. Nil while unconnected.
  CapsRef ConnectionFormat() const;
  // "<filter name>.<pin name>" for logs and graph files.
  std::string Label() const;

  // The pin object standing for a ghost pad of ours, nil for other pads.
  static std::shared_ptr<GstPin> FromPad(GstPad* pad);
  // Registers this pin as the owner of its pad (called once, after creation).
  void Attach();

 private:
  HRESULT CheckConnectable(const std::shared_ptr<GstPin>& input, const AM_MEDIA_TYPE* mediaType) const;
  bool OwnerStopped() const;

  std::shared_ptr<GstFilterLink> owner_;
  PadRef pad_;
  std::u16string name_;
  PIN_DIRECTION direction_;
  std::optional<GUID> category_;
};

using GstPinPtr = std::shared_ptr<GstPin>;

}  // namespace media::gst
