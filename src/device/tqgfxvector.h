/// @file
/// TQGfxVector: a 2D float vector (particle motion), and InvSqrt, the fast inverse square root
/// behind its normalisation.
#pragma once

/// 1 / sqrt(x) by the bit-level estimate and one Newton step (relative error below 0.2%).
float InvSqrt(float x);

/// A 2D float vector.
class TQGfxVector {
public:
    TQGfxVector() : x(0.0f), y(0.0f) {}
    /// The vector (vx, vy).
    TQGfxVector(float vx, float vy) : x(vx), y(vy) {}

    /// Difference.
    TQGfxVector operator-(const TQGfxVector& other) const { return TQGfxVector(x - other.x, y - other.y); }
    /// Sum.
    TQGfxVector operator+(const TQGfxVector& other) const { return TQGfxVector(x + other.x, y + other.y); }
    /// Scaled by s.
    TQGfxVector operator*(float s) const { return TQGfxVector(x * s, y * s); }
    /// Adds other.
    TQGfxVector& operator+=(const TQGfxVector& other);
    /// Scales by s.
    TQGfxVector& operator*=(float s);

    /// Dot product.
    float Dot(const TQGfxVector& other) const { return x * other.x + y * other.y; }
    /// Scales the vector to length 1 through InvSqrt; a zero vector stays zero.
    TQGfxVector& Normalize();
    /// Without other: the direction atan2(y, x). With other: the angle between the two vectors in
    /// 0..pi, from exactly normalised copies, so equal vectors give 0 and a zero vector gives 0.
    float Angle(const TQGfxVector* other = nullptr) const;
    /// Turns the vector by angle radians.
    TQGfxVector& Rotate(float angle);

    /// @{
    /// Components.
    float x, y;
    /// @}
};
