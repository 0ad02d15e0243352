// Implements the matrix arithmetic of the GL subset in float, each product
// summed left to right as GL implementations on this platform do.
#include "matrix.h"

#include <cmath>

namespace sgl {

namespace {

constexpr double kPi = 3.14159265358979323846;

float& at(Matrix& m, int row, int column) {
    return m.m[column * 4 + row];
}

}  // namespace

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix p;
    for (int i = 0; i < 4; ++i) {
        const float a0 = a.m[i], a1 = a.m[4 + i], a2 = a.m[8 + i], a3 = a.m[12 + i];
        for (int j = 0; j < 4; ++j) {
            const float* column = &b.m[j * 4];
            p.m[j * 4 + i] = a0 * column[0] + a1 * column[1] + a2 * column[2] + a3 * column[3];
        }
    }
    return p;
}

void rotate(Matrix& m, float angle, float x, float y, float z) {
    // The sine and cosine of the angle in radians, the angle converted in double.
    const float s = std::sin(static_cast<float>(angle * kPi / 180.0));
    const float c = std::cos(static_cast<float>(angle * kPi / 180.0));
    Matrix r;
    // About a coordinate axis only the axis' sign counts, and the ones and
    // zeros of the matrix stay exact.
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        at(r, 0, 0) = c;
        at(r, 1, 1) = c;
        at(r, 0, 1) = z < 0.0f ? s : -s;
        at(r, 1, 0) = z < 0.0f ? -s : s;
    } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
        at(r, 0, 0) = c;
        at(r, 2, 2) = c;
        at(r, 0, 2) = y < 0.0f ? -s : s;
        at(r, 2, 0) = y < 0.0f ? s : -s;
    } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
        at(r, 1, 1) = c;
        at(r, 2, 2) = c;
        at(r, 1, 2) = x < 0.0f ? s : -s;
        at(r, 2, 1) = x < 0.0f ? -s : s;
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        // An axis of (almost) no length turns nothing.
        if (length <= 1.0e-4f) return;
        x /= length;
        y /= length;
        z /= length;
        const float xx = x * x, yy = y * y, zz = z * z;
        const float xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s;
        const float oneMinusC = 1.0f - c;
        at(r, 0, 0) = (oneMinusC * xx) + c;
        at(r, 0, 1) = (oneMinusC * xy) - zs;
        at(r, 0, 2) = (oneMinusC * zx) + ys;
        at(r, 1, 0) = (oneMinusC * xy) + zs;
        at(r, 1, 1) = (oneMinusC * yy) + c;
        at(r, 1, 2) = (oneMinusC * yz) - xs;
        at(r, 2, 0) = (oneMinusC * zx) - ys;
        at(r, 2, 1) = (oneMinusC * yz) + xs;
        at(r, 2, 2) = (oneMinusC * zz) + c;
    }
    m = multiply(m, r);
}

void translate(Matrix& m, float x, float y, float z) {
    float* a = m.m.data();
    a[12] = a[0] * x + a[4] * y + a[8] * z + a[12];
    a[13] = a[1] * x + a[5] * y + a[9] * z + a[13];
    a[14] = a[2] * x + a[6] * y + a[10] * z + a[14];
    a[15] = a[3] * x + a[7] * y + a[11] * z + a[15];
}

void scale(Matrix& m, float x, float y, float z) {
    float* a = m.m.data();
    for (int row = 0; row < 4; ++row) {
        a[row] *= x;
        a[4 + row] *= y;
        a[8 + row] *= z;
    }
}

void frustum(Matrix& m, float left, float right, float bottom, float top, float nearVal,
             float farVal) {
    Matrix f;
    at(f, 0, 0) = (2.0f * nearVal) / (right - left);
    at(f, 1, 1) = (2.0f * nearVal) / (top - bottom);
    at(f, 0, 2) = (right + left) / (right - left);
    at(f, 1, 2) = (top + bottom) / (top - bottom);
    at(f, 2, 2) = -(farVal + nearVal) / (farVal - nearVal);
    at(f, 2, 3) = -(2.0f * farVal * nearVal) / (farVal - nearVal);
    at(f, 3, 2) = -1.0f;
    at(f, 3, 3) = 0.0f;
    m = multiply(m, f);
}

std::array<float, 9> normalMatrixColumns(const Matrix& mv) {
    // The inverse of the 3 x 3 block by cofactors, in double: the normals
    // only need it to a float's precision.
    const auto e = [&](int row, int column) { return static_cast<double>(mv.m[column * 4 + row]); };
    const double c00 = e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1);
    const double c01 = e(1, 2) * e(2, 0) - e(1, 0) * e(2, 2);
    const double c02 = e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0);
    const double det = e(0, 0) * c00 + e(0, 1) * c01 + e(0, 2) * c02;
    if (det == 0.0 || !std::isfinite(det)) return {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const double inv = 1.0 / det;
    // inverse(row, column) = cofactor(column, row) / det.
    double i[3][3];
    i[0][0] = c00 * inv;
    i[1][0] = c01 * inv;
    i[2][0] = c02 * inv;
    i[0][1] = (e(0, 2) * e(2, 1) - e(0, 1) * e(2, 2)) * inv;
    i[1][1] = (e(0, 0) * e(2, 2) - e(0, 2) * e(2, 0)) * inv;
    i[2][1] = (e(0, 1) * e(2, 0) - e(0, 0) * e(2, 1)) * inv;
    i[0][2] = (e(0, 1) * e(1, 2) - e(0, 2) * e(1, 1)) * inv;
    i[1][2] = (e(0, 2) * e(1, 0) - e(0, 0) * e(1, 2)) * inv;
    i[2][2] = (e(0, 0) * e(1, 1) - e(0, 1) * e(1, 0)) * inv;
    std::array<float, 9> columns{};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            columns[column * 3 + row] = static_cast<float>(i[row][column]);
        }
    }
    return columns;
}

}  // namespace sgl
