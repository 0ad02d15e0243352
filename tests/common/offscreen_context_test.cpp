// The offscreen context every GL test relies on: it clears, reads back, and
// answers the context probe the module's destructors use.
#include "common/gl_context_probe.h"
#include "gl_test.h"

TEST_F(GlTest, ClearsAndReadsBackWithACurrentContext) {
    EXPECT_TRUE(hasCurrentGlContext());
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto p = pixel(kWidth / 2, kHeight / 2);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 0);
}

TEST_F(GlTest, ProbeSeesNoContextAfterRelease) {
    gl_->releaseContext();
    EXPECT_FALSE(hasCurrentGlContext());
    ASSERT_TRUE(gl_->makeCurrent());
    EXPECT_TRUE(hasCurrentGlContext());
}
