// FreeType glyph loading and curve flattening for FontOutlines. Glyphs are
// loaded unscaled and unhinted so the shapes are the designer's, then divided
// by the em size. Needs FreeType.
#include "effects/font_outlines.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

#include "effects/windows_1252.h"

namespace {

// Curves are cut into chords until a chord strays at most this far (in em)
// from the curve; 1/500 em is below a pixel for letters up to 500 pixels high.
constexpr double kFlatness = 0.002;
constexpr int kMaxCurveSteps = 24;

struct Flattener {
    std::vector<Contour>* contours;
    double unitsToEm;
    Point2 current{0.0, 0.0};

    Point2 toEm(const FT_Vector* v) const {
        return {static_cast<double>(v->x) * unitsToEm, static_cast<double>(v->y) * unitsToEm};
    }
    void add(Point2 p) {
        Contour& c = contours->back();
        if (c.empty() || c.back().x != p.x || c.back().y != p.y) c.push_back(p);
        current = p;
    }
};

// Chords needed so that a curve whose control polygon bends by `bend` stays
// within kFlatness: the error shrinks with the square of the step count.
int curveSteps(double bend) {
    const int steps = static_cast<int>(std::ceil(std::sqrt(bend / kFlatness)));
    return std::clamp(steps, 1, kMaxCurveSteps);
}

double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

int moveTo(const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    f->contours->emplace_back();
    f->add(f->toEm(to));
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    f->add(f->toEm(to));
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    const Point2 p0 = f->current;
    const Point2 p1 = f->toEm(control);
    const Point2 p2 = f->toEm(to);
    const int n = curveSteps(0.25 * length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y));
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double u = 1.0 - t;
        f->add({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    const Point2 p0 = f->current;
    const Point2 p1 = f->toEm(c1);
    const Point2 p2 = f->toEm(c2);
    const Point2 p3 = f->toEm(to);
    const double bend = 0.75 * std::max(length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                        length(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
    const int n = curveSteps(bend);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        f->add(
            {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    return 0;
}

// Drops the repeated start point that closes each contour, and contours too
// small to enclose anything.
void tidy(std::vector<Contour>& contours) {
    for (Contour& c : contours) {
        if (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y) c.pop_back();
    }
    std::erase_if(contours, [](const Contour& c) { return c.size() < 3; });
}

}  // namespace

struct FontOutlines::FreeTypeFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeTypeFace() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

FontOutlines::FontOutlines() = default;
FontOutlines::~FontOutlines() = default;

bool FontOutlines::open(const std::string& path, int faceIndex) {
    face_.reset();
    auto ft = std::make_unique<FreeTypeFace>();
    if (FT_Init_FreeType(&ft->library) != 0) return false;
    if (FT_New_Face(ft->library, path.c_str(), faceIndex, &ft->face) != 0) return false;
    if (!FT_IS_SCALABLE(ft->face) || ft->face->units_per_EM == 0) return false;
    face_ = std::move(ft);
    return true;
}

bool FontOutlines::isOpen() const {
    return face_ != nullptr;
}

GlyphShape FontOutlines::glyphForByte(std::uint8_t b) const {
    GlyphShape shape;
    if (!face_) return shape;
    FT_Face face = face_->face;
    const double unitsToEm = 1.0 / face->units_per_EM;

    const std::uint32_t code = windows1252ToUnicode(b);
    const FT_UInt index = code != 0 ? FT_Get_Char_Index(face, code) : 0;
    const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face, index, flags) != 0) return shape;
    shape.advance = static_cast<double>(face->glyph->advance.x) * unitsToEm;
    // A missing character advances like the font's missing-glyph box but
    // draws nothing.
    if (index == 0 || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return shape;

    FT_Outline& outline = face->glyph->outline;
    Flattener flattener{&shape.contours, unitsToEm};
    const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    if (FT_Outline_Decompose(&outline, &funcs, &flattener) != 0) {
        shape.contours.clear();
        return shape;
    }
    tidy(shape.contours);
    switch (FT_Outline_Get_Orientation(&outline)) {
        case FT_ORIENTATION_TRUETYPE:
            shape.fillOnRight = true;
            break;
        case FT_ORIENTATION_POSTSCRIPT:
            shape.fillOnRight = false;
            break;
        default:
            shape.fillOnRight = (outline.flags & FT_OUTLINE_REVERSE_FILL) == 0;
            break;
    }
    return shape;
}
