#include "media/gst/GstMixerBitmap.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

using namespace media;
using namespace media::gst;

namespace {

constexpr COLORREF kSilver = 0x00C0C0C0;

// A blue frame and a silver picture of the same size with a red square at
// (2, 2)-(6, 6), keyed on silver at half opacity over the whole frame.
struct MixerFixture {
  int changes = 0;
  GstMixerBitmap mixer{[this] { ++changes; }};
  QImage picture{20, 10, QImage::Format_BGR888};
  VMR9AlphaBitmap record;

  MixerFixture() {
    picture.fill(QColor(192, 192, 192));
    QPainter(&picture).fillRect(2, 2, 4, 4, Qt::red);
    record.dwFlags = VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcColorKey;
    record.hdc = &picture;
    record.rDest = {0.0f, 0.0f, 1.0f, 1.0f};
    record.fAlpha = 0.5f;
    record.clrSrcKey = kSilver;
  }
  QImage Mixed() const {
    QImage frame(20, 10, QImage::Format_RGB32);
    frame.fill(Qt::blue);
    mixer.Draw(frame);
    return frame;
  }
};

void ExpectNear(QColor actual, QColor expected) {
  EXPECT_NEAR(actual.red(), expected.red(), 2) << "red";
  EXPECT_NEAR(actual.green(), expected.green(), 2) << "green";
  EXPECT_NEAR(actual.blue(), expected.blue(), 2) << "blue";
}

TEST(GstMixerBitmap, BlendsThePictureWithItsAlphaAndLeavesKeyPixelsOut) {
  MixerFixture f;
  ASSERT_EQ(f.mixer.SetAlphaBitmap(f.record), S_OK);
  EXPECT_EQ(f.changes, 1);
  const QImage mixed = f.Mixed();
  ExpectNear(mixed.pixelColor(3, 3), QColor(128, 0, 128));
  EXPECT_EQ(mixed.pixelColor(10, 5), QColor(Qt::blue));
  EXPECT_EQ(mixed.pixelColor(0, 0), QColor(Qt::blue));
}

TEST(GstMixerBitmap, TheSourceRectangleGoesIntoTheDestinationInNormalisedCoordinates) {
  MixerFixture f;
  f.record.dwFlags = VMR9AlphaBitmap_hDC | VMR9AlphaBitmap_SrcRect;
  f.record.rSrc = RECT{2, 2, 6, 6};
  f.record.rDest = {0.5f, 0.0f, 0.7f, 0.4f};
  f.record.fAlpha = 1.0f;
  ASSERT_EQ(f.mixer.SetAlphaBitmap(f.record), S_OK);
  const QImage mixed = f.Mixed();
  EXPECT_EQ(mixed.pixelColor(11, 1), QColor(Qt::red));
  EXPECT_EQ(mixed.pixelColor(13, 3), QColor(Qt::red));
  EXPECT_EQ(mixed.pixelColor(9, 1), QColor(Qt::blue));
  EXPECT_EQ(mixed.pixelColor(11, 5), QColor(Qt::blue));
}

TEST(GstMixerBitmap, LaterDrawingOnTheContextShowsOnlyAtTheNextSetAlphaBitmap) {
  MixerFixture f;
  f.record.fAlpha = 1.0f;
  f.mixer.SetAlphaBitmap(f.record);
  QPainter(&f.picture).fillRect(2, 2, 4, 4, Qt::green);
  EXPECT_EQ(f.Mixed().pixelColor(3, 3), QColor(Qt::red));
  f.mixer.SetAlphaBitmap(f.record);
  EXPECT_EQ(f.Mixed().pixelColor(3, 3), QColor(Qt::green));
}

TEST(GstMixerBitmap, ParametersChangeForThePictureAlreadyGivenAndDisableHidesIt) {
  MixerFixture f;
  EXPECT_EQ(f.mixer.UpdateAlphaBitmapParameters(f.record), VFW_E_WRONG_STATE);
  f.mixer.SetAlphaBitmap(f.record);

  VMR9AlphaBitmap update = f.record;
  update.hdc = nullptr;  // not looked at
  update.fAlpha = 1.0f;
  ASSERT_EQ(f.mixer.UpdateAlphaBitmapParameters(update), S_OK);
  EXPECT_EQ(f.Mixed().pixelColor(3, 3), QColor(Qt::red));

  VMR9AlphaBitmap reported;
  ASSERT_EQ(f.mixer.GetAlphaBitmapParameters(reported), S_OK);
  EXPECT_EQ(reported.fAlpha, 1.0f);
  EXPECT_EQ(reported.hdc, nullptr);

  update.dwFlags |= VMR9AlphaBitmap_Disable;
  f.mixer.UpdateAlphaBitmapParameters(update);
  EXPECT_FALSE(f.mixer.Shown());
  EXPECT_EQ(f.Mixed().pixelColor(3, 3), QColor(Qt::blue));
}

TEST(GstMixerBitmap, ARecordThatOnlyDisablesNeedsNoContext) {
  MixerFixture f;
  f.mixer.SetAlphaBitmap(f.record);
  VMR9AlphaBitmap off;
  off.dwFlags = VMR9AlphaBitmap_Disable;
  EXPECT_EQ(f.mixer.SetAlphaBitmap(off), S_OK);
  EXPECT_FALSE(f.mixer.Shown());
}

struct BadRecord {
  const char* name;
  void (*spoil)(VMR9AlphaBitmap&);
  bool badParameters;  // refused by UpdateAlphaBitmapParameters too
};

class GstMixerBitmapRefuses : public ::testing::TestWithParam<BadRecord> {};

TEST_P(GstMixerBitmapRefuses, ARecordItCannotShowAndChangesNothing) {
  MixerFixture f;
  VMR9AlphaBitmap bad = f.record;
  GetParam().spoil(bad);
  EXPECT_EQ(f.mixer.SetAlphaBitmap(bad), E_INVALIDARG);
  EXPECT_FALSE(f.mixer.Shown());
  EXPECT_EQ(f.changes, 0);

  f.mixer.SetAlphaBitmap(f.record);
  if (GetParam().badParameters) {
    EXPECT_EQ(f.mixer.UpdateAlphaBitmapParameters(bad), E_INVALIDARG);
    ExpectNear(f.Mixed().pixelColor(3, 3), QColor(128, 0, 128));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, GstMixerBitmapRefuses,
    ::testing::Values(BadRecord{"NoContext", [](VMR9AlphaBitmap& r) { r.hdc = nullptr; }, false},
                      BadRecord{"SurfaceInsteadOfContext",
                                [](VMR9AlphaBitmap& r) { r.dwFlags = VMR9AlphaBitmap_EntireDDS; }, false},
                      BadRecord{"SourceOutsideThePicture",
                                [](VMR9AlphaBitmap& r) {
                                  r.dwFlags |= VMR9AlphaBitmap_SrcRect;
                                  r.rSrc = RECT{0, 0, 30, 10};
                                },
                                true},
                      BadRecord{"EmptySource",
                                [](VMR9AlphaBitmap& r) {
                                  r.dwFlags |= VMR9AlphaBitmap_SrcRect;
                                  r.rSrc = RECT{5, 5, 5, 8};
                                },
                                true},
                      BadRecord{"EmptyDestination", [](VMR9AlphaBitmap& r) { r.rDest.right = r.rDest.left; }, true},
                      BadRecord{"AlphaAboveOne", [](VMR9AlphaBitmap& r) { r.fAlpha = 1.5f; }, true},
                      BadRecord{"AlphaNotANumber", [](VMR9AlphaBitmap& r) { r.fAlpha = std::nanf(""); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
