// Column-major 4 x 4 double matrices built the way the fixed-function
// pipeline composes them, written independently of OpenGL to check the
// transforms the effects leave behind.
#pragma once

#include <array>
#include <cmath>
#include <numbers>

using Matrix = std::array<double, 16>;

inline Matrix identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

inline Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            m[col * 4 + row] = sum;
        }
    }
    return m;
}

inline Matrix translation(double x, double y, double z) {
    Matrix m = identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

inline Matrix scaling(double s) {
    Matrix m = identity();
    m[0] = m[5] = m[10] = s;
    return m;
}

// Rotation by `degrees` about the axis (x, y, z), which is normalised; a
// zero axis leaves the matrix alone, as OpenGL implementations do.
inline Matrix rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length < 1e-4) return identity();
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a), t = 1.0 - c;
    return {t * x * x + c,
            t * x * y + s * z,
            t * x * z - s * y,
            0,
            t * x * y - s * z,
            t * y * y + c,
            t * y * z + s * x,
            0,
            t * x * z + s * y,
            t * y * z - s * x,
            t * z * z + c,
            0,
            0,
            0,
            0,
            1};
}

inline std::array<double, 3> transform(const Matrix& m, double x, double y, double z) {
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}
