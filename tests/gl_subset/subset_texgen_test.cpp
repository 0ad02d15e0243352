// Texture-coordinate generation and texturing against Mesa's fixed function:
// a lit sphere drawn with sphere-map and object-linear coordinates under a
// model-view that scales unevenly (so the normals need the inverse transpose
// and GL_NORMALIZE), sampled from a texture whose colours are its own
// coordinates; the texture base formats under GL_MODULATE; colours clamped.
#include <cmath>
#include <set>
#include <vector>

#include "subset_test.h"

namespace {

struct SphereVertex {
    float normal[3];
    float position[3];
};

// A globe of radius 1: 24 slices, 16 stacks, triangles facing out.
std::vector<SphereVertex> sphere() {
    std::vector<SphereVertex> out;
    const int slices = 24, stacks = 16;
    auto at = [](int i, int j) {
        const double theta = M_PI * i / 16, phi = 2 * M_PI * j / 24;
        const float n[3] = {static_cast<float>(std::sin(theta) * std::cos(phi)),
                            static_cast<float>(std::sin(theta) * std::sin(phi)),
                            static_cast<float>(std::cos(theta))};
        return SphereVertex{{n[0], n[1], n[2]}, {n[0], n[1], n[2]}};
    };
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            const SphereVertex a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1),
                               d = at(i, j + 1);
            for (const SphereVertex& v : {a, b, c, a, c, d}) out.push_back(v);
        }
    }
    return out;
}

// Distinct texture coordinates read back: red and green of lit pixels.
std::size_t distinctCoordinates(const Picture& p) {
    std::set<int> seen;
    for (std::size_t i = 0; i < p.rgba.size(); i += 4) {
        if (p.rgba[i + 2] != 0) seen.insert(p.rgba[i] << 8 | p.rgba[i + 1]);
    }
    return seen.size();
}

void drawSphere(const GlCalls& gl, const std::vector<SphereVertex>& mesh) {
    gl.Begin(GL_TRIANGLES);
    for (const SphereVertex& v : mesh) {
        gl.Normal3f(v.normal[0], v.normal[1], v.normal[2]);
        gl.Vertex3f(v.position[0], v.position[1], v.position[2]);
    }
    gl.End();
}

class SubsetTexGen : public SubsetVersusGl {
  protected:
    Scene generated(int mode, bool normalize) {
        return [this, mode, normalize](const GlCalls& gl) {
            hostState(gl);
            if (!normalize) gl.Disable(GL_NORMALIZE);
            makeCoordinateTexture(gl);
            gl.TexGeni(GL_S, GL_TEXTURE_GEN_MODE, mode);
            gl.TexGeni(GL_T, GL_TEXTURE_GEN_MODE, mode);
            gl.Enable(GL_TEXTURE_GEN_S);
            gl.Enable(GL_TEXTURE_GEN_T);
            gl.Color3f(1.0f, 1.0f, 1.0f);
            gl.Translated(0.3, -0.2, -4.0);
            gl.Rotated(37.0, 0.3, 1.0, 0.2);
            gl.Scaled(1.3, 0.8, 1.0);
            drawSphere(gl, mesh_);
        };
    }
    std::vector<SphereVertex> mesh_ = sphere();
};

TEST_F(SubsetTexGen, SphereMapCoordinatesAreMesasAtEveryPixel) {
    for (const bool normalize : {true, false}) {
        const Picture desktop = draw(kDesktopGl, generated(GL_SPHERE_MAP, normalize));
        const Picture subset = draw(kSubsetGl, generated(GL_SPHERE_MAP, normalize));
        ASSERT_GT(litPixels(desktop), kWidth * kHeight / 4);
        ASSERT_GT(distinctCoordinates(desktop), 500u);
        const PictureDifference d = comparePictures(desktop, subset, 1);
        // A coordinate a rounding away from a texel's edge may land in the
        // neighbour: one level, in a handful of pixels.
        EXPECT_LE(d.pixelsOff, 3) << "normalize " << normalize;
        EXPECT_LT(d.mean, 0.05) << "normalize " << normalize;
    }
}

TEST_F(SubsetTexGen, ObjectLinearCoordinatesAreTheObjectsXAndY) {
    const Picture desktop = draw(kDesktopGl, generated(GL_OBJECT_LINEAR, true));
    const Picture subset = draw(kSubsetGl, generated(GL_OBJECT_LINEAR, true));
    ASSERT_GT(litPixels(desktop), kWidth * kHeight / 4);
    ASSERT_GT(distinctCoordinates(desktop), 500u);
    const PictureDifference d = comparePictures(desktop, subset, 1);
    EXPECT_LE(d.pixelsOff, 3);
    EXPECT_LT(d.mean, 0.05);
}

TEST_F(SubsetTexGen, GenerationSwitchedOffUsesTheGivenCoordinates) {
    const Scene scene = [](const GlCalls& gl) {
        hostState(gl);
        makeCoordinateTexture(gl);
        gl.TexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        gl.Enable(GL_TEXTURE_GEN_S);
        gl.Disable(GL_TEXTURE_GEN_S);
        gl.Translated(0.0, 0.0, -2.0);
        gl.Begin(GL_QUADS);
        gl.TexCoord2f(0.1f, 0.2f);
        gl.Vertex3f(-1.0f, -1.0f, 0.0f);
        gl.TexCoord2f(0.9f, 0.2f);
        gl.Vertex3f(1.0f, -1.0f, 0.0f);
        gl.TexCoord2f(0.9f, 0.7f);
        gl.Vertex3f(1.0f, 1.0f, 0.0f);
        gl.TexCoord2f(0.1f, 0.7f);
        gl.Vertex3f(-1.0f, 1.0f, 0.0f);
        gl.End();
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    EXPECT_EQ(comparePictures(desktop, subset, 1).pixelsOff, 0);
    // The quad's middle reads the middle of the given coordinates.
    const std::uint8_t* middle = subset.at(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(middle[0], 0.5 * 255, 3);
    EXPECT_NEAR(middle[1], 0.45 * 255, 3);
}

// A quad of colour (-0.5, 1.5, 0.25) over a grey background, textured with a
// 2 x 2 picture of the given format, additively blended by alpha.
Scene modulatedQuad(unsigned int internalFormat, unsigned int format, bool complete) {
    return [=](const GlCalls& gl) {
        hostState(gl);
        gl.Disable(GL_DEPTH_TEST);
        gl.Translated(0.0, 0.0, -2.0);
        gl.Disable(GL_TEXTURE_2D);
        gl.Color3f(0.25f, 0.25f, 0.25f);
        gl.Begin(GL_QUADS);
        gl.Vertex3f(-4.0f, -4.0f, 0.0f);
        gl.Vertex3f(4.0f, -4.0f, 0.0f);
        gl.Vertex3f(4.0f, 4.0f, 0.0f);
        gl.Vertex3f(-4.0f, 4.0f, 0.0f);
        gl.End();
        gl.Enable(GL_TEXTURE_2D);
        const std::uint8_t texels[4 * 4] = {200, 100, 50,  30, 60,  250, 90,  120,
                                            10,  220, 180, 70, 140, 40,  255, 0};
        unsigned int name = 0;
        gl.GenTextures(1, &name);
        gl.BindTexture(GL_TEXTURE_2D, name);
        gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                         complete ? GL_NEAREST : GL_LINEAR_MIPMAP_NEAREST);
        gl.TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.TexImage2D(GL_TEXTURE_2D, 0, static_cast<int>(internalFormat), 2, 2, 0, format,
                      GL_UNSIGNED_BYTE, texels);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        gl.Enable(GL_BLEND);
        gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
        gl.Color3f(-0.5f, 1.5f, 0.25f);
        gl.Begin(GL_QUADS);
        gl.TexCoord2f(0.0f, 0.0f);
        gl.Vertex3f(-1.0f, -1.0f, 0.0f);
        gl.TexCoord2f(1.0f, 0.0f);
        gl.Vertex3f(1.0f, -1.0f, 0.0f);
        gl.TexCoord2f(1.0f, 1.0f);
        gl.Vertex3f(1.0f, 1.0f, 0.0f);
        gl.TexCoord2f(0.0f, 1.0f);
        gl.Vertex3f(-1.0f, 1.0f, 0.0f);
        gl.End();
        gl.Disable(GL_BLEND);
    };
}

TEST_F(SubsetTexGen, BaseFormatsModulateAsGlModulateDoes) {
    struct Case {
        unsigned int internalFormat, format;
        bool complete;
        const char* what;
    };
    for (const Case& c :
         {Case{GL_ALPHA, GL_ALPHA, true, "alpha: alpha only"},
          Case{1, GL_LUMINANCE, true, "luminance: colour"}, Case{3, GL_RGB, true, "RGB"},
          Case{4, GL_RGBA, true, "RGBA"}, Case{3, GL_RGBA, true, "RGBA kept as RGB"},
          Case{1, GL_RGB, true, "RGB kept as luminance"},
          Case{3, GL_RGB, false, "incomplete: no texturing"}}) {
        const Picture desktop =
            draw(kDesktopGl, modulatedQuad(c.internalFormat, c.format, c.complete));
        const Picture subset =
            draw(kSubsetGl, modulatedQuad(c.internalFormat, c.format, c.complete));
        const PictureDifference d = comparePictures(desktop, subset, 1);
        EXPECT_EQ(d.pixelsOff, 0) << c.what << ": largest difference " << d.largest;
    }
}

TEST_F(SubsetTexGen, ColoursAreClampedWhenDrawnAndKeptAsGivenAsCurrent) {
    const Scene scene = [](const GlCalls& gl) {
        hostState(gl);
        gl.Disable(GL_TEXTURE_2D);
        gl.Translated(0.0, 0.0, -2.0);
        gl.Color3f(-0.5f, 1.5f, 0.3f);
        gl.Begin(GL_TRIANGLES);
        gl.Vertex3f(-1.0f, -1.0f, 0.0f);
        gl.Vertex3f(1.0f, -1.0f, 0.0f);
        gl.Vertex3f(0.0f, 1.0f, 0.0f);
        gl.End();
    };
    const Picture desktop = draw(kDesktopGl, scene);
    const Picture subset = draw(kSubsetGl, scene);
    EXPECT_EQ(comparePictures(desktop, subset, 0).pixelsOff, 0);
    const std::uint8_t* p = subset.at(kWidth / 2, kHeight / 2);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 255);
    EXPECT_NEAR(p[2], 77, 1);
    float current[2][4];
    for (const GlCalls* gl : {&kDesktopGl, &kSubsetGl}) {
        use(*gl);
        gl->GetFloatv(GL_CURRENT_COLOR, current[gl == &kDesktopGl ? 0 : 1]);
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(current[0][i], current[1][i]) << i;
}

}  // namespace
