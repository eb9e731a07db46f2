#include "engine/tq2dkeytables.h"

namespace {

// A table of pseudo-random bytes (xorshift32, top byte), computed at compile time.
constexpr TQ2DKeyTable MakeKeyTable(uint32_t seed) {
    TQ2DKeyTable table{};
    uint32_t state = seed;
    for (unsigned char& byte : table) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return table;
}

} // namespace

constexpr TQ2DKeyTable g_tq2dProtocolKeyTable = MakeKeyTable(0x2D51A3C7u);
constexpr TQ2DKeyTable g_tq2dStringKeyTable = MakeKeyTable(0x9E3779B9u);

// "TQ2D Engine".
const char g_tq2dEncodedTitle[] = "05B14945C6BCD49BC1DB7F34";
