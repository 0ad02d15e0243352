// Implements the two-context fixture and the picture comparison.
#include "subset_test.h"

#include <cstdlib>

PictureDifference comparePictures(const Picture& a, const Picture& b, int tolerance) {
    PictureDifference d;
    if (a.rgba.size() != b.rgba.size() || a.rgba.empty()) {
        d.largest = 255;
        d.pixelsOff = 1L << 30;
        return d;
    }
    long total = 0;
    for (std::size_t p = 0; p < a.rgba.size(); p += 4) {
        bool off = false;
        for (int c = 0; c < 4; ++c) {
            const int delta = std::abs(int(a.rgba[p + c]) - int(b.rgba[p + c]));
            total += delta;
            if (delta > d.largest) d.largest = delta;
            off = off || delta > tolerance;
        }
        if (off) ++d.pixelsOff;
    }
    d.mean = static_cast<double>(total) / static_cast<double>(a.rgba.size());
    return d;
}

long litPixels(const Picture& p) {
    long lit = 0;
    for (std::size_t i = 0; i < p.rgba.size(); i += 4) {
        if (p.rgba[i] != 0 || p.rgba[i + 1] != 0 || p.rgba[i + 2] != 0) ++lit;
    }
    return lit;
}

void SubsetVersusGl::SetUp() {
    desktop_ = std::make_unique<EglOffscreen>(kWidth, kHeight, GlApi::Desktop21);
    ASSERT_TRUE(desktop_->ok()) << desktop_->error();
    es_ = std::make_unique<EglOffscreen>(kWidth, kHeight, GlApi::Es30);
    ASSERT_TRUE(es_->ok()) << es_->error();
    // The host's first call on a new context: the subset starts its state
    // anew even where the context got the handle of one that is gone.
    sgl_Viewport(0, 0, kWidth, kHeight);
}

void SubsetVersusGl::TearDown() {
    es_.reset();
    desktop_.reset();
}

void SubsetVersusGl::use(const GlCalls& gl) {
    EglOffscreen& context = &gl == &kDesktopGl ? *desktop_ : *es_;
    ASSERT_TRUE(context.makeCurrent());
}

Picture SubsetVersusGl::draw(const GlCalls& gl, const Scene& scene) {
    use(gl);
    gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene(gl);
    gl.Finish();
    Picture p;
    p.width = kWidth;
    p.height = kHeight;
    p.rgba.resize(static_cast<std::size_t>(kWidth) * kHeight * 4);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    return p;
}

void hostState(const GlCalls& gl) {
    gl.Viewport(0, 0, kSceneWidth, kSceneHeight);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Frustum(-0.5, 0.5, -0.375, 0.375, 1.0, 100.0);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.Enable(GL_TEXTURE_2D);
    gl.Enable(GL_NORMALIZE);
    gl.Enable(GL_DEPTH_TEST);
    gl.CullFace(GL_BACK);
    gl.Enable(GL_CULL_FACE);
}

unsigned int makeCoordinateTexture(const GlCalls& gl) {
    std::vector<std::uint8_t> texels(256 * 256 * 3);
    for (int t = 0; t < 256; ++t) {
        for (int s = 0; s < 256; ++s) {
            std::uint8_t* p = &texels[(static_cast<std::size_t>(t) * 256 + s) * 3];
            p[0] = static_cast<std::uint8_t>(s);
            p[1] = static_cast<std::uint8_t>(t);
            p[2] = 128;
        }
    }
    unsigned int name = 0;
    gl.GenTextures(1, &name);
    gl.BindTexture(GL_TEXTURE_2D, name);
    gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.TexImage2D(GL_TEXTURE_2D, 0, 3, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return name;
}
