#include "device/tqgfxvector.h"

#include <cmath>
#include <cstdint>
#include <cstring>

float InvSqrt(float x) {
    int32_t i;
    std::memcpy(&i, &x, sizeof i);
    i = 0x5F3759DF - (i >> 1);
    float y;
    std::memcpy(&y, &i, sizeof y);
    const double yd = y;
    return static_cast<float>((1.5 - x * static_cast<double>(0.4999f) * yd * yd) * yd);
}

TQGfxVector& TQGfxVector::operator+=(const TQGfxVector& other) {
    x += other.x;
    y += other.y;
    return *this;
}

TQGfxVector& TQGfxVector::operator*=(float s) {
    x *= s;
    y *= s;
    return *this;
}

TQGfxVector& TQGfxVector::Normalize() {
    const float lengthSquared = Dot(*this);
    if (lengthSquared == 0.0f)
        return *this;
    return *this *= InvSqrt(lengthSquared);
}

namespace {

// The vector scaled to length 1 with an exact square root; a zero vector stays zero.
TQGfxVector ExactUnit(const TQGfxVector& v) {
    const float length = std::sqrt(v.Dot(v));
    return length > 0.0f ? v * (1.0f / length) : v;
}

} // namespace

float TQGfxVector::Angle(const TQGfxVector* other) const {
    if (!other)
        return std::atan2(y, x);
    float cosine = ExactUnit(*this).Dot(ExactUnit(*other));
    if (cosine > 1.0f)
        cosine = 1.0f;
    if (cosine < -1.0f)
        cosine = -1.0f;
    return std::acos(cosine);
}

TQGfxVector& TQGfxVector::Rotate(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float ox = x;
    x = ox * c - y * s;
    y = ox * s + y * c;
    return *this;
}
