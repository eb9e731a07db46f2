// SceneRandom: a small deterministic generator, so that every run lays a scene out alike.
#pragma once

#include <cstdint>

class SceneRandom {
public:
    explicit SceneRandom(uint32_t seed = 12345u) : m_state(seed) {}
    // A number in [low, high).
    float Next(float low, float high) {
        m_state = m_state * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<float>(m_state >> 8) / 16777216.0f;
    }

private:
    uint32_t m_state;
};
