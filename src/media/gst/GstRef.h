#pragma once
// Owning handles for GStreamer references. Every reference the backend keeps
// is held by one of these; nothing calls unref by hand.
//
// A handle is made in one of two explicit ways:
//   GstRef<T>::Adopt(p)  takes over a reference the caller already owns (the
//                        result of a "transfer full" call). A floating
//                        reference (a new element or pad) is sunk, so the
//                        handle then owns a normal one.
//   GstRef<T>::AddRef(p) takes a new reference of its own ("transfer none").
// Copying a handle adds a reference, destroying it drops one.
#include <gst/gst.h>

#include <memory>
#include <string>
#include <utility>

namespace media::gst {

// Reference operations for GstObject and everything derived from it.
template <class T>
struct GstObjectRefOps {
  static void Ref(T* p) { gst_object_ref(p); }
  static void Unref(T* p) { gst_object_unref(p); }
  static T* Sink(T* p) {
    if (g_object_is_floating(p)) gst_object_ref_sink(p);
    return p;
  }
};

// Mini objects (caps, messages, events, buffers, samples) are never floating.
template <class T>
struct GstMiniObjectRefOps {
  static void Ref(T* p) { gst_mini_object_ref(GST_MINI_OBJECT_CAST(p)); }
  static void Unref(T* p) { gst_mini_object_unref(GST_MINI_OBJECT_CAST(p)); }
  static T* Sink(T* p) { return p; }
};

// Plain GObjects (colour-balance channels and other interface helpers).
template <class T>
struct GObjectRefOps {
  static void Ref(T* p) { g_object_ref(p); }
  static void Unref(T* p) { g_object_unref(p); }
  static T* Sink(T* p) {
    if (g_object_is_floating(p)) g_object_ref_sink(p);
    return p;
  }
};

template <class T>
struct GstRefOps;

#define QUADROVIA_GST_REF_OPS(Type, Ops) \
  template <>                            \
  struct GstRefOps<Type> : Ops<Type> {}

QUADROVIA_GST_REF_OPS(GstObject, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstElement, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstBin, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstPipeline, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstPad, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstBus, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstClock, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstDevice, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstDeviceMonitor, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstDeviceProvider, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstElementFactory, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstPadTemplate, GstObjectRefOps);
QUADROVIA_GST_REF_OPS(GstCaps, GstMiniObjectRefOps);
QUADROVIA_GST_REF_OPS(GstMessage, GstMiniObjectRefOps);
QUADROVIA_GST_REF_OPS(GstEvent, GstMiniObjectRefOps);
QUADROVIA_GST_REF_OPS(GstQuery, GstMiniObjectRefOps);
QUADROVIA_GST_REF_OPS(GstBuffer, GstMiniObjectRefOps);
QUADROVIA_GST_REF_OPS(GstSample, GstMiniObjectRefOps);
QUADROVIA_GST_REF_OPS(GObject, GObjectRefOps);

#undef QUADROVIA_GST_REF_OPS

template <class T>
class GstRef {
  using Ops = GstRefOps<T>;

 public:
  GstRef() = default;
  GstRef(std::nullptr_t) {}

  [[nodiscard]] static GstRef Adopt(T* p) { return GstRef(p ? Ops::Sink(p) : nullptr); }
  [[nodiscard]] static GstRef AddRef(T* p) {
    if (p) Ops::Ref(p);
    return GstRef(p);
  }

  GstRef(const GstRef& other) : p_(other.p_) {
    if (p_) Ops::Ref(p_);
  }
  GstRef(GstRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  GstRef& operator=(GstRef other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~GstRef() {
    if (p_) Ops::Unref(p_);
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() { GstRef().swap(*this); }
  void swap(GstRef& other) noexcept { std::swap(p_, other.p_); }
  // Hands the reference to a "transfer full" callee.
  [[nodiscard]] T* release() { return std::exchange(p_, nullptr); }

  friend bool operator==(const GstRef& a, const GstRef& b) { return a.p_ == b.p_; }

 private:
  explicit GstRef(T* p) : p_(p) {}
  T* p_ = nullptr;
};

using ElementRef = GstRef<GstElement>;
using PadRef = GstRef<GstPad>;
using BusRef = GstRef<GstBus>;
using CapsRef = GstRef<GstCaps>;
using MessageRef = GstRef<GstMessage>;
using ClockRef = GstRef<GstClock>;
using DeviceRef = GstRef<GstDevice>;
using ObjectRef = GstRef<GstObject>;

// Values GLib hands over that are freed rather than unreferenced.
struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};
struct GErrorDeleter {
  void operator()(GError* e) const { g_error_free(e); }
};
struct GstStructureDeleter {
  void operator()(GstStructure* s) const { gst_structure_free(s); }
};
struct GstIteratorDeleter {
  void operator()(GstIterator* i) const { gst_iterator_free(i); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;
using GstStructurePtr = std::unique_ptr<GstStructure, GstStructureDeleter>;
using GstIteratorPtr = std::unique_ptr<GstIterator, GstIteratorDeleter>;

// The text of a "transfer full" string, freed; empty for nullptr.
inline std::string TakeString(gchar* text) {
  GCharPtr owned(text);
  return owned ? std::string(owned.get()) : std::string();
}

}  // namespace media::gst
