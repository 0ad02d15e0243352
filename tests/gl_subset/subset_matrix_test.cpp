// The matrix stacks against Mesa's: the same sequences of rotations (about
// any axis, about each coordinate axis either way, about an axis too short to
// turn), translations, scalings, frustums, pushes and pops leave the same
// floats in both, bit for bit, as glGetFloatv reads them back.
#include <array>
#include <random>

#include "subset_test.h"

namespace {

using Matrix = std::array<float, 16>;

Matrix matrixOf(const GlCalls& gl, unsigned int which) {
    Matrix m{};
    gl.GetFloatv(which, m.data());
    return m;
}

struct Step {
    int kind;
    double a, b, c, d;
};

// One random step of the kinds the show makes.
Step randomStep(std::mt19937& random) {
    std::uniform_real_distribution<double> angle(-720.0, 720.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_real_distribution<double> far(-200.0, 200.0);
    const int kind = static_cast<int>(random() % 10);
    const double axes[6][3] = {{1, 0, 0},  {0, 1, 0},    {0, 0, 1},
                               {-2, 0, 0}, {0, -0.5, 0}, {0, 0, -3}};
    switch (kind) {
        case 0:  // a general axis
            return {0, angle(random), unit(random), unit(random), unit(random)};
        case 1: {  // a coordinate axis, either way, any length
            const double* axis = axes[random() % 6];
            return {0, angle(random), axis[0], axis[1], axis[2]};
        }
        case 2:  // the swarm's: about x by sin + 1
            return {0, 360.0 * unit(random), unit(random) + 1.0, 0.0, 0.0};
        case 3:
            return {1, angle(random), unit(random), unit(random), unit(random)};  // float
        case 4:
            return {2, far(random), far(random), far(random), 0};
        case 5:
            return {3, unit(random) * 9, unit(random) * 9, unit(random) * 9, 0};
        case 6:
            return {4, static_cast<float>(unit(random) * 8), 0.2f, 8.2f, 0};  // float scale
        case 7:
            return {5, 0, 0, 0, 0};  // push
        case 8:
            return {6, 0, 0, 0, 0};  // pop
        default:
            return {7, 1e-5, 1e-6, 0.0, 0};  // an axis too short to turn
    }
}

void apply(const GlCalls& gl, const Step& s) {
    switch (s.kind) {
        case 0:
            gl.Rotated(s.a, s.b, s.c, s.d);
            break;
        case 1:
            gl.Rotatef(static_cast<float>(s.a), static_cast<float>(s.b), static_cast<float>(s.c),
                       static_cast<float>(s.d));
            break;
        case 2:
            gl.Translated(s.a, s.b, s.c);
            break;
        case 3:
            gl.Scaled(s.a, s.b, s.c);
            break;
        case 4:
            gl.Scalef(static_cast<float>(s.a), static_cast<float>(s.b), static_cast<float>(s.c));
            break;
        case 5:
            gl.PushMatrix();
            break;
        case 6:
            gl.PopMatrix();
            break;
        default:
            gl.Rotated(30.0, s.a, s.b, s.c);
    }
}

class SubsetMatrices : public SubsetVersusGl {};

TEST_F(SubsetMatrices, RandomModelViewSequencesGiveMesasFloatsExactly) {
    std::mt19937 random(20240611);
    for (int sequence = 0; sequence < 300; ++sequence) {
        std::vector<Step> steps;
        for (int i = 0; i < 14; ++i) steps.push_back(randomStep(random));
        Matrix results[2];
        int pushes = 0;
        for (const GlCalls* gl : {&kDesktopGl, &kSubsetGl}) {
            use(*gl);
            gl->MatrixMode(GL_MODELVIEW);
            gl->LoadIdentity();
            pushes = 0;
            for (const Step& s : steps) {
                // Pops only what was pushed, as the show does.
                if (s.kind == 6 && pushes == 0) continue;
                pushes += s.kind == 5 ? 1 : s.kind == 6 ? -1 : 0;
                apply(*gl, s);
            }
            results[gl == &kDesktopGl ? 0 : 1] = matrixOf(*gl, GL_MODELVIEW_MATRIX);
            while (pushes-- > 0) gl->PopMatrix();
        }
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(results[0][i], results[1][i]) << "sequence " << sequence << " element " << i;
        }
    }
}

TEST_F(SubsetMatrices, FrustumsOfTheShowAndPopsRestoreEachStack) {
    const double nears[] = {0.1, 0.5, 1.0, 1.9, 2.3, 4.0};
    const double widenings[] = {1.0, 1.7777777777777777, 0.75};
    for (const double n : nears) {
        for (const double w : widenings) {
            Matrix projection[2], modelView[2];
            for (const GlCalls* gl : {&kDesktopGl, &kSubsetGl}) {
                use(*gl);
                const int side = gl == &kDesktopGl ? 0 : 1;
                gl->MatrixMode(GL_MODELVIEW);
                gl->LoadIdentity();
                gl->Translated(0.0, 0.0, -21.5);
                gl->MatrixMode(GL_PROJECTION);
                gl->LoadIdentity();
                gl->PushMatrix();
                gl->Frustum(-3.2 * w, 3.2 * w, -2.4, 2.0, n, 1024.0);
                gl->PushMatrix();
                gl->Rotated(10.0, 0.0, 1.0, 0.0);  // the current stack only
                gl->PopMatrix();
                projection[side] = matrixOf(*gl, GL_PROJECTION_MATRIX);
                gl->PopMatrix();
                const Matrix identity = matrixOf(*gl, GL_PROJECTION_MATRIX);
                EXPECT_EQ(identity[0], 1.0f);
                EXPECT_EQ(identity[11], 0.0f);
                gl->MatrixMode(GL_MODELVIEW);
                modelView[side] = matrixOf(*gl, GL_MODELVIEW_MATRIX);
            }
            for (int i = 0; i < 16; ++i) {
                EXPECT_EQ(projection[0][i], projection[1][i]) << "near " << n << " element " << i;
                EXPECT_EQ(modelView[0][i], modelView[1][i]) << "element " << i;
            }
        }
    }
}

TEST_F(SubsetMatrices, StackDepthIsThirtyTwoAndExtraPopsChangeNothing) {
    use(kSubsetGl);
    sgl_MatrixMode(GL_MODELVIEW);
    sgl_LoadIdentity();
    for (int i = 0; i < 40; ++i) {
        sgl_Translated(1.0, 0.0, 0.0);
        sgl_PushMatrix();  // the 32nd entry and beyond are refused
    }
    Matrix m = matrixOf(kSubsetGl, GL_MODELVIEW_MATRIX);
    EXPECT_EQ(m[12], 40.0f);
    for (int i = 0; i < 31; ++i) sgl_PopMatrix();
    m = matrixOf(kSubsetGl, GL_MODELVIEW_MATRIX);
    EXPECT_EQ(m[12], 1.0f);
    sgl_PopMatrix();  // nothing left to pop
    m = matrixOf(kSubsetGl, GL_MODELVIEW_MATRIX);
    EXPECT_EQ(m[12], 1.0f);
}

}  // namespace
