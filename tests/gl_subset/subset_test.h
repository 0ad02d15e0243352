// A fixture with two offscreen contexts of one size in one process: desktop
// OpenGL 2.1, on which the system's GL draws, and OpenGL ES 3.0, on which the
// subset draws. A test draws one scene through each table of calls and
// compares the pictures.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gl_calls.h"
#include "offscreen/egl_offscreen.h"

// RGBA rows, bottom row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    }
};

// How far two pictures of one size differ.
struct PictureDifference {
    int largest = 0;     // the largest difference of one channel
    double mean = 0.0;   // mean difference per channel
    long pixelsOff = 0;  // pixels with a channel off by more than the tolerance
};
PictureDifference comparePictures(const Picture& a, const Picture& b, int tolerance);
// Pixels that are not black.
long litPixels(const Picture& p);

using Scene = std::function<void(const GlCalls&)>;

// The size of the pictures the tests draw.
constexpr int kSceneWidth = 96;
constexpr int kSceneHeight = 72;

// The host's state as the launcher leaves it before the module starts
// (texturing, normalisation, depth test, culling), with a 4:3 frustum that
// shows 1 by 0.75 at distance 1.
void hostState(const GlCalls& gl);

class SubsetVersusGl : public ::testing::Test {
  protected:
    static constexpr int kWidth = kSceneWidth;
    static constexpr int kHeight = kSceneHeight;

    void SetUp() override;
    void TearDown() override;

    // Makes the context that `gl` draws on current.
    void use(const GlCalls& gl);
    // What `scene` draws through gl on a black, depth-cleared picture.
    Picture draw(const GlCalls& gl, const Scene& scene);

    std::unique_ptr<EglOffscreen> desktop_;
    std::unique_ptr<EglOffscreen> es_;
};

// A texture whose texel (s, t) of 256 x 256 is red s, green t, blue 128,
// sampled nearest: the colour of a pixel reads back the texture coordinate
// it was drawn with. Made through gl on its current context; returns the name.
unsigned int makeCoordinateTexture(const GlCalls& gl);
