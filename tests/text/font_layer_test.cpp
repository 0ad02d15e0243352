// The font layer without OpenGL: the heavy face lookup, the glyph outlines in
// em units and the cap tessellation.
#include <gtest/gtest.h>

#include <algorithm>

#include "effects/font_face.h"
#include "effects/font_outlines.h"
#include "effects/glyph_tessellator.h"
#include "effects/windows_1252.h"

namespace {

constexpr int kBlackWeight = 210;  // FC_WEIGHT_BLACK

struct Box {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
};

Box bounds(const GlyphShape& shape) {
    Box b;
    for (const Contour& c : shape.contours) {
        for (const Point2& p : c) {
            b.x0 = std::min(b.x0, p.x);
            b.x1 = std::max(b.x1, p.x);
            b.y0 = std::min(b.y0, p.y);
            b.y1 = std::max(b.y1, p.y);
        }
    }
    return b;
}

double areaOf(const std::vector<Point2>& triangles, bool& allCounterClockwise) {
    double total = 0.0;
    allCounterClockwise = true;
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) {
        const Point2& a = triangles[i];
        const Point2& b = triangles[i + 1];
        const Point2& c = triangles[i + 2];
        const double area = 0.5 * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
        if (area <= 0.0) allCounterClockwise = false;
        total += area;
    }
    return total;
}

// A unit square with a centred half-size hole, outer contour clockwise and
// hole counter-clockwise as in TrueType, or the other way round.
std::vector<Contour> squareWithHole(bool trueTypeDirection) {
    Contour outer = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    Contour hole = {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.75}};
    if (!trueTypeDirection) {
        std::reverse(outer.begin(), outer.end());
        std::reverse(hole.begin(), hole.end());
    }
    return {outer, hole};
}

class FontLayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        face_ = findHeavyFontFace("Arial Black");
        ASSERT_FALSE(face_.path.empty()) << "no outline font installed";
        ASSERT_TRUE(outlines_.open(face_.path, face_.faceIndex)) << face_.path;
    }
    FontFaceFile face_;
    FontOutlines outlines_;
};

}  // namespace

TEST_F(FontLayerTest, ArialBlackIsServedByAHeavyFace) {
    EXPECT_GE(face_.weight, kBlackWeight) << face_.family << " in " << face_.path;
}

TEST(FontFaceTest, ALightOrUnknownFaceFallsBackToAHeavyStandIn) {
    for (const char* name : {"DejaVu Sans", "No Such Face Anywhere"}) {
        const FontFaceFile face = findHeavyFontFace(name);
        ASSERT_FALSE(face.path.empty()) << name;
        EXPECT_GE(face.weight, kBlackWeight) << name << " -> " << face.family;
        EXPECT_FALSE(face.matchedRequest) << name;
    }
}

TEST_F(FontLayerTest, CapitalMIsAboutSevenTenthsOfAnEmOnTheBaseline) {
    const GlyphShape m = outlines_.glyphForByte('M');
    ASSERT_FALSE(m.contours.empty());
    const Box b = bounds(m);
    EXPECT_NEAR(b.y0, 0.0, 0.02);
    EXPECT_NEAR(b.y1 - b.y0, 0.7, 0.08);
    EXPECT_GT(b.x0, -0.05);
    EXPECT_GT(m.advance, b.x1);
    EXPECT_LT(m.advance, 1.5);
}

TEST_F(FontLayerTest, CurvesAreFlattenedIntoManyClosedPoints) {
    const GlyphShape o = outlines_.glyphForByte('O');
    ASSERT_EQ(o.contours.size(), 2u);  // the ring and its hole
    for (const Contour& c : o.contours) {
        EXPECT_GE(c.size(), 16u);
        const Point2& first = c.front();
        const Point2& last = c.back();
        EXPECT_FALSE(first.x == last.x && first.y == last.y) << "closing point kept";
    }
}

TEST_F(FontLayerTest, SpaceAndControlCodesDrawNothingButSpaceAdvances) {
    const GlyphShape space = outlines_.glyphForByte(' ');
    EXPECT_TRUE(space.contours.empty());
    EXPECT_GT(space.advance, 0.1);
    EXPECT_TRUE(outlines_.glyphForByte(0).contours.empty());
    EXPECT_TRUE(outlines_.glyphForByte(0x81).contours.empty());  // undefined in 1252
}

TEST(Windows1252Test, MapsLatin1AndTheHighControlRange) {
    EXPECT_EQ(windows1252ToUnicode('A'), 0x41u);
    EXPECT_EQ(windows1252ToUnicode(0xE9), 0xE9u);
    EXPECT_EQ(windows1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(windows1252ToUnicode(0x9F), 0x0178u);
    EXPECT_EQ(windows1252ToUnicode(0x81), 0u);
}

TEST(GlyphTessellatorTest, FillsAroundHolesCounterClockwiseForBothContourDirections) {
    GlyphTessellator tessellator;
    for (const bool trueType : {true, false}) {
        const std::vector<Point2> triangles = tessellator.fill(squareWithHole(trueType));
        ASSERT_EQ(triangles.size() % 3, 0u);
        ASSERT_FALSE(triangles.empty());
        bool ccw = false;
        EXPECT_NEAR(areaOf(triangles, ccw), 0.75, 1e-9) << "trueType=" << trueType;
        EXPECT_TRUE(ccw) << "trueType=" << trueType;
        for (const Point2& p : triangles) {
            const bool inHole = p.x > 0.25 && p.x < 0.75 && p.y > 0.25 && p.y < 0.75;
            EXPECT_FALSE(inHole);
        }
    }
}

TEST(GlyphTessellatorTest, NothingToFillGivesNoTriangles) {
    GlyphTessellator tessellator;
    EXPECT_TRUE(tessellator.fill({}).empty());
}

TEST_F(FontLayerTest, EveryGlyphCapCoversItsOutlineArea) {
    // The caps of a letter with a counter ('B') and of a plain one ('L') are
    // all counter-clockwise and cover a plausible share of the em square.
    GlyphTessellator tessellator;
    for (const char c : {'B', 'L', '8', '&'}) {
        const GlyphShape shape = outlines_.glyphForByte(static_cast<std::uint8_t>(c));
        bool ccw = false;
        const double area = areaOf(tessellator.fill(shape.contours), ccw);
        EXPECT_TRUE(ccw) << c;
        EXPECT_GT(area, 0.1) << c;
        const Box b = bounds(shape);
        EXPECT_LT(area, (b.x1 - b.x0) * (b.y1 - b.y0)) << c;
    }
}
