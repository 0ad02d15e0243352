// Display lists and vertex arrays against Mesa's: a list replays what
// immediate mode draws; attributes a list does not set take the current value
// at replay, and those it sets stay current after it; lists called by name
// from lists, through glCallLists and glListBase, with glTranslated inside as
// the glyph lists have it; list names; interleaved arrays from client memory.
#include <cstdint>
#include <vector>

#include "subset_test.h"

namespace {

// Two coloured quads and a triangle, with a translation between them.
void strip(const GlCalls& gl) {
    gl.Begin(GL_QUADS);
    gl.Color3f(1.0f, 0.5f, 0.0f);
    gl.TexCoord2f(0.2f, 0.3f);
    gl.Vertex3f(-2.0f, -1.0f, 0.0f);
    gl.Vertex3f(-1.0f, -1.0f, 0.0f);
    gl.Color3f(0.0f, 0.5f, 1.0f);
    gl.Vertex3f(-1.0f, 1.0f, 0.0f);
    gl.Vertex3f(-2.0f, 1.0f, 0.0f);
    gl.End();
    gl.Translated(1.5, 0.0, 0.0);
    gl.Begin(GL_TRIANGLES);
    gl.Normal3d(0.0, 0.6, 0.8);
    gl.Vertex3d(-1.0, -1.0, 0.0);
    gl.Vertex3d(1.0, -1.0, 0.0);
    gl.Color3f(0.2f, 1.0f, 0.2f);
    gl.Vertex3d(0.0, 1.0, -0.5);
    gl.End();
}

class SubsetLists : public SubsetVersusGl {
  protected:
    static void setUp(const GlCalls& gl) {
        hostState(gl);
        gl.Disable(GL_CULL_FACE);
        gl.Translated(0.0, 0.0, -6.0);
    }
    // The current colour, normal and texture coordinate, as 11 floats.
    std::vector<float> currentValues(const GlCalls& gl) {
        std::vector<float> v(11);
        gl.GetFloatv(GL_CURRENT_COLOR, v.data());
        gl.GetFloatv(GL_CURRENT_NORMAL, v.data() + 4);
        gl.GetFloatv(GL_CURRENT_TEXTURE_COORDS, v.data() + 7);
        return v;
    }
    std::vector<std::vector<float>> after_;
};

TEST_F(SubsetLists, AListReplaysWhatImmediateModeDraws) {
    const Scene immediate = [](const GlCalls& gl) {
        setUp(gl);
        gl.Disable(GL_TEXTURE_2D);
        strip(gl);
    };
    const Scene listed = [](const GlCalls& gl) {
        setUp(gl);
        gl.Disable(GL_TEXTURE_2D);
        const unsigned int list = gl.GenLists(1);
        gl.NewList(list, GL_COMPILE);
        strip(gl);
        gl.EndList();
        gl.CallList(list);
    };
    const Picture desktopImmediate = draw(kDesktopGl, immediate);
    const std::vector<float> desktopAfterImmediate = currentValues(kDesktopGl);
    const Picture subsetImmediate = draw(kSubsetGl, immediate);
    const std::vector<float> subsetAfterImmediate = currentValues(kSubsetGl);
    const Picture subsetListed = draw(kSubsetGl, listed);
    const std::vector<float> subsetAfterList = currentValues(kSubsetGl);
    const Picture desktopListed = draw(kDesktopGl, listed);
    const std::vector<float> desktopAfterList = currentValues(kDesktopGl);
    ASSERT_GT(litPixels(desktopImmediate), 500);
    EXPECT_EQ(comparePictures(subsetImmediate, subsetListed, 0).pixelsOff, 0);
    EXPECT_EQ(comparePictures(desktopImmediate, subsetImmediate, 1).pixelsOff, 0);
    EXPECT_EQ(comparePictures(desktopListed, subsetListed, 1).pixelsOff, 0);
    EXPECT_EQ(subsetAfterImmediate, desktopAfterImmediate);
    EXPECT_EQ(subsetAfterList, desktopAfterList);
}

TEST_F(SubsetLists, UnsetAttributesTakeTheCurrentValueAtReplayAndSetOnesStay) {
    const Scene scene = [this](const GlCalls& gl) {
        setUp(gl);
        gl.Disable(GL_TEXTURE_2D);
        // Colour from outside for the first triangle; the list's own green
        // for the second, which stays current after the list.
        const unsigned int list = gl.GenLists(1);
        gl.NewList(list, GL_COMPILE);
        gl.Begin(GL_TRIANGLES);
        gl.Vertex3f(-1.0f, 0.0f, 0.0f);
        gl.Vertex3f(0.0f, 0.0f, 0.0f);
        gl.Vertex3f(-0.5f, 1.0f, 0.0f);
        gl.Color3f(0.0f, 1.0f, 0.0f);
        gl.Vertex3f(0.0f, 0.0f, 0.0f);
        gl.Vertex3f(1.0f, 0.0f, 0.0f);
        gl.Vertex3f(0.5f, 1.0f, 0.0f);
        gl.End();
        gl.EndList();
        gl.Color3f(1.0f, 0.0f, 0.0f);
        gl.CallList(list);
        after_.push_back(currentValues(gl));
        gl.Translated(0.0, -1.5, 0.0);
        gl.Color3f(0.0f, 0.0f, 1.0f);
        gl.CallList(list);
        // A quad in the colour the list left current.
        gl.Begin(GL_QUADS);
        gl.Vertex3f(-2.0f, 1.6f, 0.0f);
        gl.Vertex3f(-1.5f, 1.6f, 0.0f);
        gl.Vertex3f(-1.5f, 2.0f, 0.0f);
        gl.Vertex3f(-2.0f, 2.0f, 0.0f);
        gl.End();
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    ASSERT_EQ(after_.size(), 2u);
    EXPECT_EQ(after_[0], after_[1]);
    EXPECT_EQ(after_[1][1], 1.0f);  // green
    EXPECT_EQ(comparePictures(desktop, subset, 1).pixelsOff, 0);
    long red = 0, blue = 0;
    for (std::size_t i = 0; i < subset.rgba.size(); i += 4) {
        red += subset.rgba[i] == 255;
        blue += subset.rgba[i + 2] == 255;
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(blue, 20);
}

TEST_F(SubsetLists, GlyphStyleListsAdvanceThroughCallListsAndListBase) {
    const Scene scene = [](const GlCalls& gl) {
        setUp(gl);
        gl.Disable(GL_TEXTURE_2D);
        gl.Translated(-2.5, 0.0, 0.0);
        const unsigned int base = gl.GenLists(256);
        const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int k = 0; k < 3; ++k) {
            gl.NewList(base + 'A' + k, GL_COMPILE);
            gl.Begin(GL_TRIANGLES);
            gl.Color3f(colours[k][0], colours[k][1], colours[k][2]);
            gl.Normal3f(0.0f, 0.0f, 1.0f);
            gl.Vertex3d(0.0, 0.0, 0.0);
            gl.Vertex3d(0.8, 0.0, 0.0);
            gl.Vertex3d(0.4, 0.4 * (k + 1), 0.0);
            gl.End();
            gl.Translated(1.0 + 0.25 * k, 0.0, 0.0);
            gl.EndList();
        }
        // A list that calls the others by name, redefined after it.
        const unsigned int outer = gl.GenLists(1);
        gl.NewList(outer, GL_COMPILE);
        gl.CallList(base + 'B');
        gl.EndList();
        gl.ListBase(base);
        gl.PushMatrix();
        gl.CallLists(5, GL_UNSIGNED_BYTE, "ABCAZ");
        gl.PopMatrix();
        gl.NewList(base + 'B', GL_COMPILE);
        gl.Color3f(1.0f, 1.0f, 0.0f);
        gl.Begin(GL_QUADS);
        gl.Vertex3f(0.0f, -1.0f, 0.0f);
        gl.Vertex3f(0.5f, -1.0f, 0.0f);
        gl.Vertex3f(0.5f, -0.5f, 0.0f);
        gl.Vertex3f(0.0f, -0.5f, 0.0f);
        gl.End();
        gl.EndList();
        gl.CallList(outer);
        gl.DeleteLists(base, 256);
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    ASSERT_GT(litPixels(desktop), 200);
    EXPECT_EQ(comparePictures(desktop, subset, 1).pixelsOff, 0);
}

TEST_F(SubsetLists, NamesAreGivenInFreeBlocksAndGoneWhenDeleted) {
    for (const GlCalls* gl : {&kDesktopGl, &kSubsetGl}) {
        use(*gl);
        SCOPED_TRACE(gl->name);
        const unsigned int a = gl->GenLists(3);
        const unsigned int b = gl->GenLists(2);
        EXPECT_GT(a, 0u);
        EXPECT_EQ(b, a + 3);
        EXPECT_TRUE(gl->IsList(a + 1));  // generated, still empty
        EXPECT_EQ(gl->GenLists(0), 0u);
        gl->NewList(a + 1, GL_COMPILE);
        gl->Translated(1.0, 0.0, 0.0);
        gl->EndList();
        gl->DeleteLists(a, 2);
        EXPECT_FALSE(gl->IsList(a));
        EXPECT_FALSE(gl->IsList(a + 1));
        EXPECT_TRUE(gl->IsList(a + 2));
        // A new block never takes a name in use.
        const unsigned int c = gl->GenLists(2);
        for (const unsigned int used : {a + 2, b, b + 1}) EXPECT_TRUE(c + 1 < used || c > used);
        EXPECT_TRUE(gl->IsList(c + 1));
        gl->CallList(a + 100);  // no such list: nothing happens
        gl->DeleteLists(a, 5);
        gl->DeleteLists(c, 2);
    }
}

// A cube's 8 corners as normal and position, and its 12 triangles.
struct ArrayCube {
    float corners[8][6];
    std::uint16_t indices[36];
};

ArrayCube arrayCube() {
    ArrayCube c{};
    for (int i = 0; i < 8; ++i) {
        const float x = (i & 1) ? 1.0f : -1.0f, y = (i & 2) ? 1.0f : -1.0f,
                    z = (i & 4) ? 1.0f : -1.0f;
        const float n[6] = {x * 0.577f, y * 0.577f, z * 0.577f, x, y, z};
        for (int k = 0; k < 6; ++k) c.corners[i][k] = n[k];
    }
    const std::uint16_t faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                       {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (int f = 0; f < 6; ++f) {
        const std::uint16_t* q = faces[f];
        const std::uint16_t t[6] = {q[0], q[1], q[2], q[0], q[2], q[3]};
        for (int k = 0; k < 6; ++k) c.indices[f * 6 + k] = t[k];
    }
    return c;
}

TEST_F(SubsetLists, InterleavedArraysDrawWithTheCurrentColourAndSphereMap) {
    static const ArrayCube cube = arrayCube();
    const Scene scene = [](const GlCalls& gl) {
        setUp(gl);
        gl.Enable(GL_CULL_FACE);
        makeCoordinateTexture(gl);
        gl.TexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        gl.TexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        gl.Enable(GL_TEXTURE_GEN_S);
        gl.Enable(GL_TEXTURE_GEN_T);
        gl.Color3f(1.0f, 0.8f, 0.6f);
        for (int copy = 0; copy < 3; ++copy) {
            gl.PushMatrix();
            gl.Translated(-1.6 + 1.6 * copy, 0.0, -1.0);
            gl.Rotated(30.0 + 40.0 * copy, 1.0, 0.5, 0.2);
            gl.Scaled(0.5, 0.5, 0.5);
            gl.PushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
            gl.BindBuffer(GL_ARRAY_BUFFER, 0);
            gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
            gl.InterleavedArrays(GL_N3F_V3F, 0, cube.corners);
            gl.DrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, cube.indices);
            gl.PopClientAttrib();
            gl.PopMatrix();
        }
        // Compiled into a list, the arrays' contents are taken at once.
        const unsigned int list = gl.GenLists(1);
        gl.NewList(list, GL_COMPILE);
        gl.InterleavedArrays(GL_N3F_V3F, 0, cube.corners);
        gl.DrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, cube.indices);
        gl.EndList();
        gl.Translated(0.0, 1.4, -1.0);
        gl.Scaled(0.3, 0.3, 0.3);
        gl.CallList(list);
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    ASSERT_GT(litPixels(desktop), 800);
    const PictureDifference d = comparePictures(desktop, subset, 1);
    EXPECT_LE(d.pixelsOff, 3);
    EXPECT_LT(d.mean, 0.05);
}

}  // namespace
