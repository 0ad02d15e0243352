// A GoogleTest fixture with a current offscreen context and helpers to read
// back pixels and state: OpenGL 2.1, or in an ES3 build the GL subset's
// context (OpenGL ES 3.0), through the subset's GL/gl.h.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "offscreen/egl_offscreen.h"

class GlTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    void SetUp() override {
        gl_ = std::make_unique<EglOffscreen>(kWidth, kHeight);
        ASSERT_TRUE(gl_->ok()) << gl_->error();
    }
    void TearDown() override { gl_.reset(); }

    // RGBA of one pixel, (0, 0) bottom left.
    std::array<int, 4> pixel(int x, int y) const {
        std::uint8_t p[4];
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return {p[0], p[1], p[2], p[3]};
    }
    std::vector<std::uint8_t> pixels() const { return gl_->readPixels(); }

    static std::array<double, 16> matrix(GLenum which) {
        std::array<double, 16> m{};
#if defined(SGL_API)
        // The subset's GL/gl.h offers glGetFloatv alone; its matrices are
        // float, as Mesa's are, so widened they read as glGetDoublev would.
        std::array<GLfloat, 16> f{};
        glGetFloatv(which, f.data());
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = f[i];
#else
        glGetDoublev(which, m.data());
#endif
        return m;
    }
    static GLint integer(GLenum what) {
        GLint v = 0;
        glGetIntegerv(what, &v);
        return v;
    }

    std::unique_ptr<EglOffscreen> gl_;
};
