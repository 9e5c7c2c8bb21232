#include "media/TVMRBitmap.h"

#include <gtest/gtest.h>

#include <QImage>

#include "media/RuntimeErrors.h"
#include "media/TFilterGraph.h"
#include "media/TVideoWindow.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/fakes/FakeRenderer.h"

using namespace media;

namespace {

constexpr COLORREF kSilver = gdi::RGB(192, 192, 192);

// A video window in a graph over fake renderers; objects counted from here.
struct OverlayFixture {
  FakeMediaPlatform platform;
  FakeRenderers renderers{&platform.log};
  TFilterGraph graph{"FilterGraph1"};
  TVideoWindow window{nullptr, "VideoWindow1"};
  std::size_t bitmaps = gdi::LiveBitmapCount();
  std::size_t contexts = gdi::LiveDCCount();

  OverlayFixture() { window.SetFilterGraph(&graph); }
  std::size_t NewBitmaps() const { return gdi::LiveBitmapCount() - bitmaps; }
  std::size_t NewContexts() const { return gdi::LiveDCCount() - contexts; }
};

TEST(TVMRBitmap, StartsOpaqueWithOnlyTheContextFlagAndNothingAttached) {
  OverlayFixture f;
  TVMRBitmap overlay(&f.window);
  EXPECT_EQ(overlay.Overlay().fAlpha, 1.0f);
  EXPECT_EQ(overlay.Overlay().dwFlags, VMR9AlphaBitmap_hDC);
  EXPECT_EQ(overlay.Overlay().hdc, nullptr);
  EXPECT_EQ(overlay.Overlay().pDDS, nullptr);
  EXPECT_EQ(overlay.OverlayOptions(), 0);
  EXPECT_EQ(overlay.Surface().Handle(), nullptr);
}

struct OptionsRow {
  const char* name;
  TOverlayOptions options;
  DWORD flags;
};

class TVMRBitmapOptions : public ::testing::TestWithParam<OptionsRow> {};

TEST_P(TVMRBitmapOptions, EachOptionAddsItsFlagToTheContextFlag) {
  OverlayFixture f;
  TVMRBitmap overlay(&f.window);
  overlay.SetOverlayOptions(OverlayBit(ooDisabled));  // what was set before does not stay
  overlay.SetOverlayOptions(GetParam().options);
  EXPECT_EQ(overlay.Overlay().dwFlags, GetParam().flags);
  EXPECT_EQ(overlay.OverlayOptions(), GetParam().options);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, TVMRBitmapOptions,
    ::testing::Values(OptionsRow{"None", 0, 2}, OptionsRow{"Disabled", OverlayBit(ooDisabled), 3},
                      OptionsRow{"ColorKey", OverlayBit(ooColorKey), 10},
                      OptionsRow{"SourceRect", OverlayBit(ooSourceRect), 18},
                      OptionsRow{"All", OverlayBit(ooDisabled) | OverlayBit(ooColorKey) | OverlayBit(ooSourceRect), 27}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TVMRBitmap, AMissingWindowOrBitmapIsABrokenAssertion) {
  OverlayFixture f;
  try {
    TVMRBitmap overlay(nullptr);
    FAIL() << "made without a window";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(std::string(e.what()).rfind("No valid video Window.", 0), 0u) << e.what();
  }
  TVMRBitmap overlay(&f.window);
  try {
    overlay.AttachBitmap(nullptr);
    FAIL() << "attached nothing";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Invalid Bitmap.", 0), 0u) << e.what();
  }
}

TEST(TVMRBitmap, ABlankBitmapIsFilledWithItsColourAndDrawnOnThroughTheSurface) {
  OverlayFixture f;
  TVMRBitmap overlay(&f.window);
  overlay.MakeBlankBitmap(30, 20, gdi::pf24bit, kSilver);
  const QImage* picture = overlay.Overlay().hdc;
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->size(), QSize(30, 20));
  EXPECT_EQ(picture->format(), QImage::Format_BGR888);
  EXPECT_EQ(picture->pixelColor(29, 19), QColor(192, 192, 192));
  EXPECT_EQ(overlay.Surface().ClipRect(), (RECT{0, 0, 30, 20}));

  overlay.Surface().Brush.Color = gdi::RGB(0, 0, 255);
  overlay.Surface().FillRect(RECT{0, 0, 2, 2});
  EXPECT_EQ(overlay.Overlay().hdc->pixelColor(1, 1), QColor(0, 0, 255));
  EXPECT_EQ(f.NewBitmaps(), 1u);  // the temporary bitmap object is gone, its picture lives on
  EXPECT_EQ(f.NewContexts(), 1u);
}

TEST(TVMRBitmap, AttachingTwiceReleasesTheFirstBitmapAndItsContext) {
  OverlayFixture f;
  {
    TVMRBitmap overlay(&f.window);
    overlay.MakeBlankBitmap(10, 10, gdi::pf24bit, kSilver);
    gdi::TBitmap second;
    second.SetWidth(4);
    second.SetHeight(4);
    overlay.AttachBitmap(&second);
    EXPECT_EQ(overlay.Overlay().hdc->size(), QSize(4, 4));
    EXPECT_EQ(f.NewBitmaps(), 1u);
    EXPECT_EQ(f.NewContexts(), 1u);

    overlay.ReleaseBitmap();
    EXPECT_EQ(overlay.Overlay().hdc, nullptr);
    EXPECT_EQ(overlay.Surface().Handle(), nullptr);
    EXPECT_EQ(f.NewContexts(), 0u);
    overlay.AttachBitmap(&second);  // the object's handle again
  }
  EXPECT_EQ(f.NewBitmaps(), 0u);  // the overlay deleted what it held
  EXPECT_EQ(f.NewContexts(), 0u);
}

TEST(TVMRBitmap, ABitmapThatCannotBeTakenLeavesNothingAttached) {
  OverlayFixture f;
  TVMRBitmap overlay(&f.window);
  overlay.MakeBlankBitmap(0, 10, gdi::pf24bit, kSilver);
  EXPECT_EQ(overlay.Overlay().hdc, nullptr);
  EXPECT_EQ(f.NewContexts(), 0u);
}

TEST(TVMRBitmap, ShowingBeforeTheGraphIsActiveOrWithoutAMixerDoesNothing) {
  OverlayFixture f;
  TVMRBitmap overlay(&f.window);
  overlay.MakeBlankBitmap(10, 10, gdi::pf24bit, kSilver);
  overlay.PlaceOverlay(0, 0, 1, 1, 0.5f);
  overlay.PlaceOverlay(0, 0, 1, 1, 0.5f, true);
  EXPECT_TRUE(f.renderers.mixing.empty());
  EXPECT_EQ(overlay.Overlay().fAlpha, 0.5f);  // the record keeps the placement

  f.graph.SetActive(true);  // the classic renderer has no mixer
  EXPECT_EQ(f.window.Query<IVMRMixerBitmap9>(), nullptr);
  EXPECT_NO_THROW(overlay.ShowOverlay());
  EXPECT_NO_THROW(overlay.RefreshOverlay());
}

TEST(TVMRBitmap, PlacingHandsTheRecordToTheMixerOrRefreshesItsParameters) {
  OverlayFixture f;
  f.window.SetMode(vmVMR);
  f.graph.SetActive(true);
  const auto renderer = f.renderers.mixing.back();
  TVMRBitmap overlay(&f.window);
  overlay.MakeBlankBitmap(10, 10, gdi::pf24bit, kSilver);
  overlay.SetOverlayOptions(OverlayBit(ooColorKey));
  overlay.SetKeyColor(kSilver);
  overlay.SetSourceRect(RECT{0, 0, 10, 10});

  overlay.PlaceOverlay(0.0f, 0.0f, 1.0f, 1.0f, 0.5f);
  ASSERT_EQ(renderer->alphaBitmaps.size(), 1u);
  const VMR9AlphaBitmap& given = renderer->alphaBitmaps[0];
  EXPECT_EQ(given.dwFlags, VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcColorKey);
  EXPECT_EQ(given.hdc, overlay.Overlay().hdc);
  EXPECT_EQ(given.rDest, (NORMALIZEDRECT{0.0f, 0.0f, 1.0f, 1.0f}));
  EXPECT_EQ(given.rSrc, (RECT{0, 0, 10, 10}));
  EXPECT_EQ(given.fAlpha, 0.5f);
  EXPECT_EQ(given.clrSrcKey, kSilver);

  overlay.PlaceOverlay(0.5f, 0.5f, 1.0f, 1.0f, 1.0f, true);
  EXPECT_EQ(renderer->alphaBitmaps.size(), 1u);
  ASSERT_EQ(renderer->alphaUpdates.size(), 1u);
  EXPECT_EQ(renderer->alphaUpdates[0].rDest, (NORMALIZEDRECT{0.5f, 0.5f, 1.0f, 1.0f}));
}

}  // namespace
