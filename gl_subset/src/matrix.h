// 4 x 4 matrices in column order, as GL keeps them, with the arithmetic done
// in single precision in the order Mesa does it: the arguments of the double
// calls are narrowed to float first, so the subset's matrices equal those
// that glGetDoublev reads back from Mesa, bit for bit.
#pragma once

#include <array>

namespace sgl {

struct Matrix {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// product = a * b.
Matrix multiply(const Matrix& a, const Matrix& b);
// m = m * rotation, angle in degrees about the axis (x, y, z).
void rotate(Matrix& m, float angle, float x, float y, float z);
void translate(Matrix& m, float x, float y, float z);
void scale(Matrix& m, float x, float y, float z);
void frustum(Matrix& m, float left, float right, float bottom, float top, float nearVal,
             float farVal);
// The columns of the inverse of the upper 3 x 3 block, column-major: a normal
// n goes to eye space as (dot(c0, n), dot(c1, n), dot(c2, n)). The identity
// when the block is singular.
std::array<float, 9> normalMatrixColumns(const Matrix& modelView);

}  // namespace sgl
