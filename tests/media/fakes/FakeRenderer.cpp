#include "media/fakes/FakeRenderer.h"

#include <QWidget>

#include "media/framework/Identifiers.h"

using namespace media;

namespace {

std::string NameOf(const QWidget* window) {
  if (!window) return "nil";
  return window->objectName().isEmpty() ? "window" : window->objectName().toStdString();
}

std::string Hex(LONG value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

HRESULT FakeClassicRenderer::put_Caption(const std::u16string& text) {
  caption = text;
  Log("put_Caption " + QString::fromStdU16String(text).toStdString());
  return S_OK;
}

HRESULT FakeClassicRenderer::get_Caption(std::u16string& text) {
  text = caption;
  return S_OK;
}

HRESULT FakeClassicRenderer::put_WindowStyle(LONG value) {
  style = value;
  Log("put_WindowStyle " + Hex(value));
  return S_OK;
}

HRESULT FakeClassicRenderer::get_WindowStyle(LONG& value) {
  value = style;
  return S_OK;
}

HRESULT FakeClassicRenderer::put_WindowStyleEx(LONG value) {
  exStyle = value;
  Log("put_WindowStyleEx " + Hex(value));
  return S_OK;
}

HRESULT FakeClassicRenderer::get_WindowStyleEx(LONG& value) {
  value = exStyle;
  return S_OK;
}

HRESULT FakeClassicRenderer::put_Visible(LONG value) {
  visible = value != OAFALSE;
  Log(std::string("put_Visible ") + (visible ? "true" : "false"));
  return S_OK;
}

HRESULT FakeClassicRenderer::get_Visible(LONG& value) {
  value = visible ? OATRUE : OAFALSE;
  return S_OK;
}

HRESULT FakeClassicRenderer::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) {
  position = QRect(left, top, width, height);
  Log("SetWindowPosition " + std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + "," +
      std::to_string(height));
  return S_OK;
}

HRESULT FakeClassicRenderer::GetWindowPosition(LONG& left, LONG& top, LONG& width, LONG& height) {
  left = position.x();
  top = position.y();
  width = position.width();
  height = position.height();
  return S_OK;
}

HRESULT FakeClassicRenderer::put_Owner(OAHWND window) {
  owner = window;
  Log("put_Owner " + NameOf(window));
  return S_OK;
}

HRESULT FakeClassicRenderer::get_Owner(OAHWND& window) {
  window = owner;
  return S_OK;
}

HRESULT FakeClassicRenderer::put_MessageDrain(OAHWND window) {
  drain = window;
  Log("put_MessageDrain " + NameOf(window));
  return S_OK;
}

HRESULT FakeClassicRenderer::get_MessageDrain(OAHWND& window) {
  window = drain;
  return S_OK;
}

HRESULT FakeMixingRenderer::SetNumberOfStreams(DWORD value) {
  streams = value;
  Log("SetNumberOfStreams " + std::to_string(value));
  return S_OK;
}

HRESULT FakeMixingRenderer::GetNumberOfStreams(DWORD& value) {
  value = reportedStreams.value_or(streams);
  Log("GetNumberOfStreams");
  return S_OK;
}

HRESULT FakeMixingRenderer::SetRenderingPrefs(DWORD value) {
  prefs = value;
  Log("SetRenderingPrefs " + std::to_string(value));
  return S_OK;
}

HRESULT FakeMixingRenderer::GetRenderingPrefs(DWORD& value) {
  value = reportedPrefs.value_or(prefs);
  Log("GetRenderingPrefs");
  return S_OK;
}

HRESULT FakeMixingRenderer::SetRenderingMode(DWORD value) {
  mode = value;
  Log("SetRenderingMode " + std::to_string(value));
  return S_OK;
}

HRESULT FakeMixingRenderer::GetRenderingMode(DWORD& value) {
  value = mode;
  return S_OK;
}

HRESULT FakeMixingRenderer::GetNativeVideoSize(LONG& w, LONG& h, LONG& arW, LONG& arH) {
  w = arW = 320;
  h = arH = 240;
  return S_OK;
}

HRESULT FakeMixingRenderer::SetVideoPosition(const RECT* source, const RECT* target) {
  if (target) destination = *target;
  Log(std::string("SetVideoPosition ") + (source ? "source" : "nil") + " " +
      (target ? std::to_string(target->left) + "," + std::to_string(target->top) + "," +
                    std::to_string(target->right) + "," + std::to_string(target->bottom)
              : "nil"));
  return S_OK;
}

HRESULT FakeMixingRenderer::GetVideoPosition(RECT& source, RECT& target) {
  source = RECT{0, 0, 320, 240};
  target = destination.value_or(RECT{});
  return S_OK;
}

HRESULT FakeMixingRenderer::SetVideoClippingWindow(OAHWND window) {
  clippingWindow = window;
  Log("SetVideoClippingWindow " + NameOf(window));
  return S_OK;
}

HRESULT FakeMixingRenderer::SetAspectRatioMode(DWORD value) {
  aspectMode = value;
  Log("SetAspectRatioMode " + std::to_string(value));
  return S_OK;
}

HRESULT FakeMixingRenderer::GetAspectRatioMode(DWORD& value) {
  value = aspectMode;
  return S_OK;
}

HRESULT FakeMixingRenderer::SetAlphaBitmap(const VMR9AlphaBitmap& bitmap) {
  alphaBitmaps.push_back(bitmap);
  Log("SetAlphaBitmap");
  return S_OK;
}

HRESULT FakeMixingRenderer::UpdateAlphaBitmapParameters(const VMR9AlphaBitmap& bitmap) {
  alphaUpdates.push_back(bitmap);
  Log("UpdateAlphaBitmapParameters");
  return S_OK;
}

HRESULT FakeMixingRenderer::GetAlphaBitmapParameters(VMR9AlphaBitmap& bitmap) {
  bitmap = alphaBitmaps.empty() ? VMR9AlphaBitmap{} : alphaBitmaps.back();
  return S_OK;
}

FakeRenderers::FakeRenderers(CallLog* log, bool mixingAvailable)
    : previousClassic_(ClassFactory::Lookup(CLSID_VideoRenderer)),
      previousMixing_(ClassFactory::Lookup(CLSID_VideoMixingRenderer9)) {
  ClassFactory::Register(CLSID_VideoRenderer, [this, log] {
    classic.push_back(std::make_shared<FakeClassicRenderer>(log));
    return classic.back();
  });
  if (!mixingAvailable) {
    ClassFactory::Unregister(CLSID_VideoMixingRenderer9);
    return;
  }
  ClassFactory::Register(CLSID_VideoMixingRenderer9, [this, log] {
    mixing.push_back(std::make_shared<FakeMixingRenderer>(log));
    if (onMake) onMake(*mixing.back());
    return mixing.back();
  });
}

FakeRenderers::~FakeRenderers() {
  const std::pair<const CLSID*, ClassFactory::Maker*> previous[] = {{&CLSID_VideoRenderer, &previousClassic_},
                                                                     {&CLSID_VideoMixingRenderer9, &previousMixing_}};
  for (const auto& [clsid, maker] : previous) {
    if (*maker) ClassFactory::Register(*clsid, *maker);
    else ClassFactory::Unregister(*clsid);
  }
}
