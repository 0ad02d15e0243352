// The module's emitters send exactly the corners of the mesh files, in their
// order and with their normals, whichever way they reach OpenGL: checked by
// reading the vertices back in feedback mode, where normal-map texture
// coordinates carry each corner's normal.
#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <vector>

#include "gl_test.h"
#include "host_gl_state.h"
#include "mesh_file.h"
#include "meshes/baked_mesh_set.h"

namespace {

constexpr double kReach = 100.0;  // the orthographic view spans -100 to 100 on each axis

struct FedBackCorner {
    double position[3];
    double normal[3];
};

// Draws in feedback mode; returns the corners of every polygon, in order.
std::vector<FedBackCorner> feedBack(const std::function<void()>& draw, int width, int height,
                                    std::size_t corners) {
    std::vector<GLfloat> buffer(corners * 12 + 1024);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FedBackCorner> out;
    for (GLint at = 0; at < used;) {
        if (buffer[at] != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << buffer[at];
            break;
        }
        const int count = static_cast<int>(buffer[at + 1]);
        at += 2;
        for (int v = 0; v < count; ++v, at += 11) {
            // x, y, z in window coordinates, then RGBA, then STRQ.
            FedBackCorner c;
            c.position[0] = (buffer[at] / width * 2.0 - 1.0) * kReach;
            c.position[1] = (buffer[at + 1] / height * 2.0 - 1.0) * kReach;
            c.position[2] = -(buffer[at + 2] * 2.0 - 1.0) * kReach;
            for (int k = 0; k < 3; ++k) c.normal[k] = buffer[at + 7 + k];
            out.push_back(c);
        }
    }
    return out;
}

class MeshEmissionTest : public GlTest, public ::testing::WithParamInterface<MeshEmission> {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        meshes_.setEmission(GetParam());
    }

    BakedMeshSet meshes_;
};

void emitByNumber(const BakedMeshSet& meshes, int number) {
    switch (number) {
        case 1:
            meshes.emitMesh1();
            break;
        case 2:
            meshes.emitMesh2();
            break;
        case 3:
            meshes.emitMesh3();
            break;
        case 4:
            meshes.emitMesh4();
            break;
        default:
            meshes.emitMesh5();
            break;
    }
}

TEST_P(MeshEmissionTest, SendsTheCornersOfTheMeshFiles) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-kReach, kReach, -kReach, kReach, -kReach, kReach);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    // Normal-map generation turns each corner's normal into its texture coordinate.
    for (GLenum coordinate : {GL_S, GL_T, GL_R}) {
        glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    }
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    // Texture coordinates are only produced for an enabled, complete texture.
    const std::uint8_t white[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    for (int number = 1; number <= 5; ++number) {
        const MeshFile file = readMeshFile(number);
        ASSERT_FALSE(file.corners.empty());
        const auto corners =
            feedBack([&] { emitByNumber(meshes_, number); }, kWidth, kHeight, file.corners.size());
        ASSERT_EQ(corners.size(), file.corners.size()) << "mesh " << number;
        int wrong = 0;
        for (std::size_t c = 0; c < corners.size() && wrong < 3; ++c) {
            // Window coordinates come back as floats: positions match to a
            // thousandth of a unit, normals (exact texture coordinates) closely.
            for (int k = 0; k < 3; ++k) {
                if (std::fabs(corners[c].position[k] - file.corners[c][3 + k]) > 1e-3 ||
                    std::fabs(corners[c].normal[k] - file.corners[c][k]) > 1e-6) {
                    ++wrong;
                    ADD_FAILURE() << "mesh " << number << " corner " << c << " axis " << k
                                  << ": position " << corners[c].position[k] << " for "
                                  << file.corners[c][3 + k] << ", normal " << corners[c].normal[k]
                                  << " for " << file.corners[c][k];
                }
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Draws mesh 3 under a perspective with sphere-map coordinates on a striped
// texture, so that positions and normals both show in the pixels.
void drawTexturedHorn(const BakedMeshSet& meshes) {
    applyHostState();
    glEnable(GL_TEXTURE_2D);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<std::uint8_t> stripes(32 * 32 * 3);
    for (std::size_t i = 0; i < stripes.size(); ++i) stripes[i] = ((i / 3) % 7) * 36;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 32, 32, 0, GL_RGB, GL_UNSIGNED_BYTE, stripes.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    setFrustum(-1.0, 1.0, -0.75, 0.75, 1.0, 100.0);
    glTranslated(0.0, 0.0, -30.0);
    glRotated(35.0, 1.0, 0.4, 0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    meshes.emitMesh3();
    glDeleteTextures(1, &texture);
}

TEST_P(MeshEmissionTest, DrawsTheSameFragmentsAsImmediateMode) {
    const MeshEmission mode = GetParam();
    meshes_.setEmission(MeshEmission::Immediate);
    drawTexturedHorn(meshes_);
    const auto reference = pixels();
    meshes_.setEmission(mode);
    drawTexturedHorn(meshes_);
    const auto first = pixels();
    drawTexturedHorn(meshes_);
    const auto second = pixels();
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < reference.size(); i += 4) {
        drawn += (reference[i] | reference[i + 1] | reference[i + 2]) != 0 ? 1 : 0;
    }
    EXPECT_GT(drawn, 1000u) << "the horn should fill a good part of the view";
    EXPECT_EQ(first, reference);
    EXPECT_EQ(second, first);
}

INSTANTIATE_TEST_SUITE_P(EveryWay, MeshEmissionTest,
                         ::testing::Values(MeshEmission::Immediate, MeshEmission::VertexArrays,
                                           MeshEmission::DisplayLists),
                         [](const auto& info) {
                             switch (info.param) {
                                 case MeshEmission::Immediate:
                                     return "Immediate";
                                 case MeshEmission::VertexArrays:
                                     return "VertexArrays";
                                 default:
                                     return "DisplayLists";
                             }
                         });

TEST_F(GlTest, VertexArraysLeaveTheClientArraysAsTheyWere) {
    const BakedMeshSet meshes;  // VertexArrays unless told otherwise
    EXPECT_EQ(meshes.emission(), MeshEmission::VertexArrays);
    static const float colours[3] = {1.0f, 0.0f, 0.0f};
    glColorPointer(3, GL_FLOAT, 0, colours);
    glEnableClientState(GL_COLOR_ARRAY);
    meshes.emitMesh4();
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, colours);
    glDisableClientState(GL_COLOR_ARRAY);
}

TEST_F(GlTest, DisplayListsAreCompiledAgainInANewContext) {
    BakedMeshSet meshes;
    meshes.setEmission(MeshEmission::DisplayLists);
    drawTexturedHorn(meshes);
    const auto first = pixels();
    // A second context, current in place of the first: the lists of the
    // first mean nothing there.
    gl_.reset();
    gl_ = std::make_unique<EglOffscreen>(kWidth, kHeight);
    ASSERT_TRUE(gl_->ok());
    drawTexturedHorn(meshes);
    const auto second = pixels();
    EXPECT_EQ(second, first);
}

}  // namespace
