#include "engine/cmorvainecipher.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/cmorvainetables.h"
#include "engine/packtestutil.h"

namespace {

// Every vector kernel the processor runs gives the bytes and key position of the scalar one, for
// any key length, starting key position, length (around the vector widths) and direction.
TEST(CipherKernelTest, VectorKernelsMatchTheScalarOne) {
    const Bytes input = PatternBytes(4099, 11);
    for (MorvaineCipherKernel kernel : {MORVAINE_KERNEL_AVX2, MORVAINE_KERNEL_AVX512VBMI}) {
        if (!MorvaineKernelSupported(kernel))
            continue;
        for (int keyLength : {1, 2, 8, 31, 63}) {
            const std::string text = std::string("\xff\x80 keyKEY0123456789", 19) + std::string(44, '\x9c');
            MorvaineCipherKey key;
            key.Set(text.c_str(), keyLength);
            unsigned char table[256];
            for (int i = 0; i < 256; ++i)
                table[i] = static_cast<unsigned char>(g_morvaineCipherTables[keyLength % 30][i]);
            for (size_t count : {0, 1, 31, 32, 33, 63, 64, 65, 130, 4099}) {
                for (MorvaineCipherDirection direction : {MORVAINE_ENCIPHER, MORVAINE_DECIPHER}) {
                    const int startPos = (keyLength * 7 + static_cast<int>(count)) % keyLength;
                    Bytes expected(input.begin(), input.begin() + count);
                    Bytes actual = expected;
                    int expectedPos = startPos;
                    int actualPos = startPos;
                    MorvaineTransformWith(MORVAINE_KERNEL_SCALAR, expected.data(), count, table, key,
                                          &expectedPos, direction);
                    MorvaineTransformWith(kernel, actual.data(), count, table, key, &actualPos, direction);
                    ASSERT_EQ(expected, actual) << "kernel " << kernel << " key length " << keyLength
                                                << " count " << count << " direction " << direction;
                    ASSERT_EQ(expectedPos, actualPos);
                }
            }
        }
    }
}

} // namespace
