// GlyphTessellator over GLU. The edge-flag callback makes GLU emit plain
// triangles only (no fans or strips); the triangles keep the winding of the
// contours they came from, so each one is turned counter-clockwise here.
// Needs GLU (no OpenGL context: the tessellator is pure geometry).
#include "effects/glyph_tessellator.h"

#include <GL/glu.h>

#include <array>
#include <deque>

namespace {

struct TessRun {
    std::deque<std::array<GLdouble, 3>> points;  // stable addresses for GLU
    std::vector<Point2> out;
    bool failed = false;
};

void GLAPIENTRY onBegin(GLenum, void*) {}
void GLAPIENTRY onEdgeFlag(GLboolean, void*) {}
void GLAPIENTRY onEnd(void*) {}

void GLAPIENTRY onVertex(void* vertex, void* run) {
    const auto* p = static_cast<const GLdouble*>(vertex);
    static_cast<TessRun*>(run)->out.push_back({p[0], p[1]});
}

void GLAPIENTRY onCombine(GLdouble coords[3], void* [4], GLfloat[4], void** outData, void* run) {
    auto* r = static_cast<TessRun*>(run);
    r->points.push_back({coords[0], coords[1], 0.0});
    *outData = r->points.back().data();
}

void GLAPIENTRY onError(GLenum, void* run) {
    static_cast<TessRun*>(run)->failed = true;
}

double signedArea(const Point2& a, const Point2& b, const Point2& c) {
    return 0.5 * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
}

}  // namespace

GlyphTessellator::GlyphTessellator() {
    GLUtesselator* tess = gluNewTess();
    if (tess == nullptr) return;
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(onBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(onEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(onVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(onEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(onCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(onError));
    tess_ = tess;
}

GlyphTessellator::~GlyphTessellator() {
    if (tess_ != nullptr) gluDeleteTess(static_cast<GLUtesselator*>(tess_));
}

std::vector<Point2> GlyphTessellator::fill(const std::vector<Contour>& contours) {
    if (tess_ == nullptr || contours.empty()) return {};
    auto* tess = static_cast<GLUtesselator*>(tess_);
    TessRun run;
    gluTessBeginPolygon(tess, &run);
    for (const Contour& contour : contours) {
        gluTessBeginContour(tess);
        for (const Point2& p : contour) {
            run.points.push_back({p.x, p.y, 0.0});
            gluTessVertex(tess, run.points.back().data(), run.points.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    if (run.failed || run.out.size() % 3 != 0) return {};

    std::vector<Point2> triangles;
    triangles.reserve(run.out.size());
    for (std::size_t i = 0; i + 2 < run.out.size(); i += 3) {
        const Point2& a = run.out[i];
        const Point2& b = run.out[i + 1];
        const Point2& c = run.out[i + 2];
        const double area = signedArea(a, b, c);
        if (area == 0.0) continue;
        triangles.push_back(a);
        triangles.push_back(area > 0.0 ? b : c);
        triangles.push_back(area > 0.0 ? c : b);
    }
    return triangles;
}
