#include "flash/core/matrix3d.h"

#include <gtest/gtest.h>

namespace flash {
namespace {

void ExpectNear(const Matrix3D& actual, const Matrix3D& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "value " << i;
}

TEST(Matrix3DTest, ProductAppliesTheRightHandSideFirst) {
    const Matrix3D scaleThenMove = Matrix3D::translation(10, 0, 0) * Matrix3D::scale(2, 2, 2);
    const auto p = scaleThenMove.apply(1, 1, 1, 1);
    EXPECT_FLOAT_EQ(p[0], 12);
    EXPECT_FLOAT_EQ(p[1], 2);
    EXPECT_FLOAT_EQ(p[3], 1);
    // A direction (w = 0) is not moved.
    EXPECT_FLOAT_EQ(scaleThenMove.apply(1, 0, 0, 0)[0], 2);
}

TEST(Matrix3DTest, RotationTurnsCounterclockwiseAboutItsAxis) {
    const auto y = Matrix3D::rotation(90, 1, 0, 0).apply(0, 1, 0, 1);
    EXPECT_NEAR(y[1], 0, 1e-6);
    EXPECT_NEAR(y[2], 1, 1e-6);
    // The axis's length does not matter; a zero axis leaves things be.
    ExpectNear(Matrix3D::rotation(30, 0, 0, 5), Matrix3D::rotation(30, 0, 0, 1));
    EXPECT_EQ(Matrix3D::rotation(30, 0, 0, 0), Matrix3D{});
}

TEST(Matrix3DTest, InverseUndoesTheMatrixAndRefusesASingularOne) {
    const Matrix3D m = Matrix3D::translation(3, -4, 5) * Matrix3D::rotation(37, 1, 2, 3) * Matrix3D::scale(2, 3, 4);
    EXPECT_NEAR(m.determinant(), 24, 1e-4);
    Matrix3D inverse;
    ASSERT_TRUE(m.inverse(inverse));
    ExpectNear(inverse * m, Matrix3D{});
    ExpectNear(m * inverse, Matrix3D{});

    const Matrix3D flat = Matrix3D::scale(1, 0, 1);
    EXPECT_EQ(flat.determinant(), 0);
    Matrix3D untouched = Matrix3D::translation(1, 2, 3);
    EXPECT_FALSE(flat.inverse(untouched));
    EXPECT_EQ(untouched, Matrix3D::translation(1, 2, 3));
}

TEST(Matrix3DTest, TransposeSwapsRowsAndColumns) {
    Matrix3D m;
    for (int i = 0; i < 16; ++i) m.m[i] = float(i);
    const Matrix3D t = m.transposed();
    EXPECT_EQ(t.at(0, 1), m.at(1, 0));
    EXPECT_EQ(t.at(3, 2), m.at(2, 3));
    EXPECT_EQ(t.transposed(), m);
}

}  // namespace
}  // namespace flash
