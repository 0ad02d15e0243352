// The subset's frame-buffer side and its life with contexts: read-back in
// RGBA, BGRA (which ES need not read) and RGB under pack alignments, as
// desktop GL reads the same picture; the clear colour and pixel-store
// queries; calls without a current context; and a new context that gets the
// handle of a destroyed one starting with a fresh state.
#include <EGL/egl.h>

#include <vector>

#include "sorvanel_gl/sgl_api.h"
#include "subset_test.h"

namespace {

class SubsetContexts : public SubsetVersusGl {
  protected:
    // Four coloured quarters, drawn without texturing.
    static void quarters(const GlCalls& gl) {
        hostState(gl);
        gl.Disable(GL_TEXTURE_2D);
        gl.Disable(GL_DEPTH_TEST);
        gl.Translated(0.0, 0.0, -1.0);
        const float colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0.5f}};
        for (int q = 0; q < 4; ++q) {
            const float x = (q & 1) ? 0.0f : -5.0f, y = (q & 2) ? 0.0f : -5.0f;
            gl.Color3f(colours[q][0], colours[q][1], colours[q][2]);
            gl.Begin(GL_QUADS);
            gl.Vertex3f(x, y, 0.0f);
            gl.Vertex3f(x + 5.0f, y, 0.0f);
            gl.Vertex3f(x + 5.0f, y + 5.0f, 0.0f);
            gl.Vertex3f(x, y + 5.0f, 0.0f);
            gl.End();
        }
    }
    std::vector<std::uint8_t> readBack(const GlCalls& gl, unsigned int format, int alignment, int x,
                                       int y, int w, int h) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(w + 8) * h * 4, 0xEE);
        gl.PixelStorei(GL_PACK_ALIGNMENT, alignment);
        gl.ReadPixels(x, y, w, h, format, GL_UNSIGNED_BYTE, out.data());
        gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
        return out;
    }
};

TEST_F(SubsetContexts, ReadsBackInEachFormatAndAlignmentAsDesktopGlDoes) {
    draw(kDesktopGl, quarters);
    draw(kSubsetGl, quarters);
    for (const unsigned int format : {GL_RGBA, GL_BGRA, GL_RGB}) {
        for (const int alignment : {1, 4, 8}) {
            std::vector<std::uint8_t> got[2];
            for (const GlCalls* gl : {&kDesktopGl, &kSubsetGl}) {
                use(*gl);
                got[gl == &kDesktopGl ? 0 : 1] = readBack(*gl, format, alignment, 43, 31, 7, 9);
            }
            EXPECT_EQ(got[0], got[1]) << "format " << format << " alignment " << alignment;
        }
    }
    use(kSubsetGl);
    const std::vector<std::uint8_t> bgra = readBack(kSubsetGl, GL_BGRA, 4, 0, 0, 1, 1);
    EXPECT_EQ(bgra[0], 0);  // the red quarter, blue first
    EXPECT_EQ(bgra[2], 255);
}

TEST_F(SubsetContexts, QueriesAnswerAsDesktopGl) {
    for (const GlCalls* gl : {&kDesktopGl, &kSubsetGl}) {
        use(*gl);
        SCOPED_TRACE(gl->name);
        gl->ClearColor(0.25f, 0.5f, 0.75f, 1.0f);
        float clear[4] = {};
        gl->GetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_EQ(clear[2], 0.75f);
        int alignment = 0;
        gl->GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 4);
        gl->PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl->GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 1);
        gl->PixelStorei(GL_UNPACK_ALIGNMENT, 3);  // refused
        gl->GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 1);
        gl->PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
}

TEST_F(SubsetContexts, CallsWithoutACurrentContextDoNothing) {
    es_->releaseContext();
    ASSERT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    EXPECT_EQ(sgl_GenLists(4), 0u);
    EXPECT_FALSE(sgl_IsList(1));
    sgl_Begin(GL_TRIANGLES);
    sgl_Vertex3f(0.0f, 0.0f, 0.0f);
    sgl_End();
    sgl_CallList(1);
    sgl_Translated(1.0, 2.0, 3.0);
    float m[16] = {};
    sgl_GetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], 0.0f);  // untouched
    EXPECT_EQ(sglu_Build2DMipmaps(GL_TEXTURE_2D, 1, 1, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE, m), 0);
}

TEST_F(SubsetContexts, ANewContextStartsWithAFreshStateEvenUnderAnOldHandle) {
    use(kSubsetGl);
    const unsigned int list = sgl_GenLists(1);
    sgl_NewList(list, GL_COMPILE);
    sgl_Translated(5.0, 0.0, 0.0);
    sgl_EndList();
    sgl_Translated(1.0, 0.0, 0.0);
    ASSERT_TRUE(sgl_IsList(list));
    // Destroyed and made again: EGL may well hand out the same handle.
    es_.reset();
    es_ = std::make_unique<EglOffscreen>(kWidth, kHeight, GlApi::Es30);
    ASSERT_TRUE(es_->ok());
    sgl_Viewport(0, 0, kWidth, kHeight);
    EXPECT_FALSE(sgl_IsList(list));
    float m[16] = {};
    sgl_GetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f);
    // And it draws.
    const Picture p = draw(kSubsetGl, quarters);
    EXPECT_EQ(litPixels(p), kWidth * kHeight);
}

TEST_F(SubsetContexts, MisuseIsIgnoredAsGlIgnoresIt) {
    const Scene scene = [](const GlCalls& gl) {
        hostState(gl);
        gl.Disable(GL_TEXTURE_2D);
        gl.End();                       // no glBegin
        gl.Vertex3f(0.0f, 0.0f, 0.0f);  // outside glBegin/glEnd
        gl.NewList(0, GL_COMPILE);      // list 0 is no name
        gl.EndList();                   // nothing compiled
        gl.Translated(0.0, 0.0, -2.0);
        gl.Begin(GL_TRIANGLES);
        gl.Vertex3f(-1.0f, -1.0f, 0.0f);
        gl.Vertex3f(1.0f, -1.0f, 0.0f);
        gl.Vertex3f(0.0f, 1.0f, 0.0f);
        gl.Vertex3f(0.5f, 0.5f, 0.0f);  // an unfinished triangle is dropped
        gl.End();
        gl.PopMatrix();  // nothing pushed
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    EXPECT_GT(litPixels(subset), 100);
    EXPECT_EQ(comparePictures(desktop, subset, 1).pixelsOff, 0);
}

}  // namespace

namespace {

// The host's framebuffer copies: pixels uploaded into an RGBA8 texture of a
// framebuffer, blitted scaled and turned over into the picture, and the
// picture kept in a renderbuffer and blitted back.
TEST_F(SubsetContexts, FramebufferCopiesPassThroughAsTheHostMakesThem) {
    const Scene scene = [](const GlCalls& gl) {
        quarters(gl);
        std::uint8_t rgb[4 * 3 * 3];
        for (int i = 0; i < 36; ++i) rgb[i] = static_cast<std::uint8_t>(i * 7);
        unsigned int framebuffer = 0, texture = 0, kept = 0, renderbuffer = 0;
        gl.GenFramebuffers(1, &framebuffer);
        gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        gl.GenTextures(1, &texture);
        gl.BindTexture(GL_TEXTURE_2D, texture);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 3, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        EXPECT_EQ(gl.CheckFramebufferStatus(GL_FRAMEBUFFER), GL_FRAMEBUFFER_COMPLETE) << gl.name;
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        gl.BlitFramebuffer(0, 0, 4, 3, 10, 50, 50, 20, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        // The picture so far into a renderbuffer, and a part of it back.
        gl.GenFramebuffers(1, &kept);
        gl.BindFramebuffer(GL_FRAMEBUFFER, kept);
        gl.GenRenderbuffers(1, &renderbuffer);
        gl.BindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        gl.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kSceneWidth, kSceneHeight);
        gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                   renderbuffer);
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, kept);
        EXPECT_TRUE(gl.IsEnabled(GL_TEXTURE_2D) == GL_FALSE);
        EXPECT_TRUE(gl.IsEnabled(GL_SCISSOR_TEST) == GL_FALSE);
        gl.BlitFramebuffer(0, 0, kSceneWidth, kSceneHeight, 0, 0, kSceneWidth, kSceneHeight,
                           GL_COLOR_BUFFER_BIT, GL_NEAREST);
        gl.BindFramebuffer(GL_READ_FRAMEBUFFER, kept);
        gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        gl.BlitFramebuffer(0, 0, 30, 30, 60, 40, 90, 70, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
        gl.DeleteFramebuffers(1, &framebuffer);
        gl.DeleteFramebuffers(1, &kept);
        gl.DeleteRenderbuffers(1, &renderbuffer);
        gl.DeleteTextures(1, &texture);
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    EXPECT_EQ(comparePictures(desktop, subset, 0).pixelsOff, 0);
    // The uploaded picture's first texel, turned over to the top.
    EXPECT_EQ(subset.at(10, 49)[1], 7);
}

}  // namespace

// A surface that draws into a framebuffer of its own (the web canvas, whose
// depth must be the native 16 bits) names it as the window's: binding 0,
// from the host's copies too, then means that framebuffer, and the
// platform's own is left alone until the name is taken back.
TEST_F(SubsetContexts, AWindowFramebufferStandsInForFramebufferZero) {
    // A far red quad drawn after a near green one: depth decides.
    const Scene depthScene = [](const GlCalls& gl) {
        quarters(gl);
        gl.Enable(GL_DEPTH_TEST);
        gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
        const float quads[2][4] = {{0.0f, 1.0f, 0.0f, -0.2f}, {1.0f, 0.0f, 0.0f, -0.6f}};
        for (const auto& q : quads) {
            gl.Color3f(q[0], q[1], q[2]);
            gl.Begin(GL_QUADS);
            gl.Vertex3f(-2.0f, -2.0f, q[3]);
            gl.Vertex3f(2.0f, -2.0f, q[3]);
            gl.Vertex3f(2.0f, 2.0f, q[3]);
            gl.Vertex3f(-2.0f, 2.0f, q[3]);
            gl.End();
        }
    };
    const Picture direct = draw(kSubsetGl, depthScene);
    ASSERT_EQ(direct.at(kSceneWidth / 2, kSceneHeight / 2)[1], 255);  // the near green

    use(kSubsetGl);
    unsigned int framebuffer = 0, buffers[2] = {};
    sgl_GenFramebuffers(1, &framebuffer);
    sgl_BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    sgl_GenRenderbuffers(2, buffers);
    const unsigned int formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT16};
    const unsigned int attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int i = 0; i < 2; ++i) {
        sgl_BindRenderbuffer(GL_RENDERBUFFER, buffers[i]);
        sgl_RenderbufferStorage(GL_RENDERBUFFER, formats[i], kSceneWidth, kSceneHeight);
        sgl_FramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, buffers[i]);
    }
    ASSERT_EQ(sgl_CheckFramebufferStatus(GL_FRAMEBUFFER), GL_FRAMEBUFFER_COMPLETE);
    // The platform's framebuffer marked magenta before the window's is named.
    sgl_BindFramebuffer(GL_FRAMEBUFFER, 0);
    sgl_ClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    sgl_Clear(GL_COLOR_BUFFER_BIT);

    sgl_SetWindowFramebuffer(framebuffer);
    const Picture redirected = draw(kSubsetGl, depthScene);
    EXPECT_EQ(comparePictures(direct, redirected, 0).pixelsOff, 0);

    sgl_SetWindowFramebuffer(0);
    std::uint8_t own[4] = {};
    sgl_ReadPixels(kSceneWidth / 2, kSceneHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, own);
    EXPECT_EQ(own[0], 255);  // still magenta: nothing was drawn here
    EXPECT_EQ(own[1], 0);
    EXPECT_EQ(own[2], 255);
    sgl_DeleteFramebuffers(1, &framebuffer);
    sgl_DeleteRenderbuffers(2, buffers);
}
