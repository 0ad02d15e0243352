// Captures what a piece of drawing sends to the rasteriser, through GL's
// feedback mode: polygons, points and pass-through markers in window
// coordinates (x, y in pixels, z in 0..1), after transformation and culling.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <vector>

struct FeedbackVertex {
    float x, y, z;
};

struct FeedbackPolygon {
    std::vector<FeedbackVertex> vertices;
    // Twice the signed area in window coordinates.
    double area2() const {
        double a = 0.0;
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            const FeedbackVertex& p = vertices[i];
            const FeedbackVertex& q = vertices[(i + 1) % vertices.size()];
            a += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
        }
        return a;
    }
};

// A point drawn after a glPassThrough(tag) marker.
struct FeedbackMark {
    float tag;
    FeedbackVertex at;
};

struct Feedback {
    std::vector<FeedbackPolygon> polygons;
    std::vector<FeedbackMark> marks;
    int tokens = 0;
};

inline Feedback captureFeedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);

    Feedback result;
    float tag = -1.0f;
    auto vertex = [&](GLint& i) {
        FeedbackVertex v{buffer[i], buffer[i + 1], buffer[i + 2]};
        i += 3;
        return v;
    };
    for (GLint i = 0; i < used;) {
        const auto token = static_cast<GLint>(buffer[i++]);
        ++result.tokens;
        switch (token) {
            case GL_PASS_THROUGH_TOKEN:
                tag = buffer[i++];
                break;
            case GL_POINT_TOKEN:
                result.marks.push_back({tag, vertex(i)});
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                i += 6;
                break;
            case GL_POLYGON_TOKEN: {
                const auto n = static_cast<GLint>(buffer[i++]);
                FeedbackPolygon polygon;
                for (GLint k = 0; k < n; ++k) polygon.vertices.push_back(vertex(i));
                result.polygons.push_back(polygon);
                break;
            }
            default:  // bitmap and pixel tokens: one vertex
                i += 3;
                break;
        }
    }
    return result;
}
