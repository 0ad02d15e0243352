// Glyph outlines of one font file, flattened to closed polygons in em units
// (the em height is 1), with each glyph's advance. The rest of the text code
// sees only these polygons, never FreeType.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Point2 {
    double x;
    double y;
};

// A closed polygon: the last point connects back to the first.
using Contour = std::vector<Point2>;

struct GlyphShape {
    std::vector<Contour> contours;
    double advance = 0.0;
    // TrueType contours keep the filled area on the right of the direction of
    // travel (outer contours clockwise); PostScript outlines on the left.
    bool fillOnRight = true;
};

class FontOutlines {
  public:
    FontOutlines();
    ~FontOutlines();
    FontOutlines(const FontOutlines&) = delete;
    FontOutlines& operator=(const FontOutlines&) = delete;

    bool open(const std::string& path, int faceIndex);
    bool isOpen() const;

    // The glyph of byte code b, read as Windows-1252. A code the font lacks
    // has no contours and the advance the font gives its missing glyph.
    GlyphShape glyphForByte(std::uint8_t b) const;

  private:
    struct FreeTypeFace;
    std::unique_ptr<FreeTypeFace> face_;
};
