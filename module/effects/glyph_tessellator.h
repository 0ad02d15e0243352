// Fills a glyph's contours with triangles through the GLU tessellator
// (non-zero winding, as TrueType and PostScript outlines are drawn).
#pragma once

#include <vector>

#include "effects/font_outlines.h"

class GlyphTessellator {
  public:
    GlyphTessellator();
    ~GlyphTessellator();
    GlyphTessellator(const GlyphTessellator&) = delete;
    GlyphTessellator& operator=(const GlyphTessellator&) = delete;

    // Three points per triangle, each triangle counter-clockwise seen from
    // +z; slivers of zero area are left out. Empty when the tessellator
    // failed or the contours enclose nothing.
    std::vector<Point2> fill(const std::vector<Contour>& contours);

  private:
    void* tess_ = nullptr;  // GLUtesselator
};
