#pragma once
#include <gtest/gtest.h>

#include "media/framework/MediaPlatform.h"
#include "media/gst/GstBackend.h"

// The media platform started as the program starts it, once per test binary:
// windows that build channels need real media components.
class MediaPlatformEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    media::gst::GstBackend::Install();
    ASSERT_TRUE(media::SUCCEEDED(media::CoInitialize()));
  }
  void TearDown() override { media::CoUninitialize(); }
};
