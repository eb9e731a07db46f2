#include "engine/cmorvainecipher.h"

#include <immintrin.h>

#include <cstring>

void MorvaineCipherKey::Set(const char* key, int keyLength) {
    length = keyLength;
    for (int j = 0; j < STREAM_SIZE; ++j)
        stream[j] = static_cast<unsigned char>(key[j % keyLength]);
}

namespace {

// Byte by byte: the reference, and the tail of the vector kernels.
void TransformScalar(unsigned char* bytes, size_t count, const unsigned char (&table)[256],
                     const MorvaineCipherKey& key, int* keyPos, MorvaineCipherDirection direction) {
    int k = *keyPos;
    for (size_t i = 0; i < count; ++i) {
        if (++k >= key.length)
            k = 0;
        const unsigned char keyByte = key.stream[k];
        bytes[i] = direction == MORVAINE_ENCIPHER ? table[bytes[i] ^ keyByte] : table[bytes[i]] ^ keyByte;
    }
    *keyPos = k;
}

// Position in the key stream of the first key character after key position k.
int StreamStart(int k, int length) {
    return (k + 1) % length;
}

// Moves a key stream position on by `step` characters (step < length), without a division.
int Advance(int s, int step, int length) {
    s += step;
    return s >= length ? s - length : s;
}

// Key position of the last byte when `done` bytes were transformed from key stream start s.
int KeyPosAfter(int s, size_t done, int length) {
    return static_cast<int>((s + done + length - 1) % length);
}

// 32 bytes at a time: 16 shuffles look the low nibble up in every 16-entry row of the table, then
// a tree of blends picks the row by the high nibble, one bit per level (a blend follows the top
// bit of each byte, so the bit of a level is shifted up there first).
__attribute__((target("avx2"))) __m256i LookupAvx2(const __m256i (&rows)[16], __m256i x) {
    __m256i level[16];
#pragma GCC unroll 16
    for (int h = 0; h < 16; ++h)
        level[h] = _mm256_shuffle_epi8(rows[h], _mm256_and_si256(x, _mm256_set1_epi8(0x0F)));
    int width = 16;
#pragma GCC unroll 4
    for (int bit = 4; bit < 8; ++bit) {
        const __m256i select = _mm256_slli_epi16(x, 7 - bit);
        width /= 2;
#pragma GCC unroll 8
        for (int j = 0; j < width; ++j)
            level[j] = _mm256_blendv_epi8(level[2 * j], level[2 * j + 1], select);
    }
    return level[0];
}

__attribute__((target("avx2"))) void TransformAvx2(unsigned char* bytes, size_t count,
                                                   const unsigned char (&table)[256],
                                                   const MorvaineCipherKey& key, int* keyPos,
                                                   MorvaineCipherDirection direction) {
    __m256i rows[16];
    for (int h = 0; h < 16; ++h)
        rows[h] =
            _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * h)));
    const int step = 32 % key.length;
    int s = StreamStart(*keyPos, key.length);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
        const __m256i k = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(key.stream + s));
        if (direction == MORVAINE_ENCIPHER)
            x = _mm256_xor_si256(x, k);
        __m256i result = LookupAvx2(rows, x);
        if (direction == MORVAINE_DECIPHER)
            result = _mm256_xor_si256(result, k);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes + i), result);
        s = Advance(s, step, key.length);
    }
    *keyPos = i ? KeyPosAfter(StreamStart(*keyPos, key.length), i, key.length) : *keyPos;
    TransformScalar(bytes + i, count - i, table, key, keyPos, direction);
}

// 64 bytes at a time: two 128-entry permutes and a select on the top bit.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
TransformAvx512Vbmi(unsigned char* bytes, size_t count, const unsigned char (&table)[256],
                    const MorvaineCipherKey& key, int* keyPos, MorvaineCipherDirection direction) {
    const __m512i t0 = _mm512_loadu_si512(table);
    const __m512i t1 = _mm512_loadu_si512(table + 64);
    const __m512i t2 = _mm512_loadu_si512(table + 128);
    const __m512i t3 = _mm512_loadu_si512(table + 192);
    const int step = 64 % key.length;
    int s = StreamStart(*keyPos, key.length);
    size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        __m512i x = _mm512_loadu_si512(bytes + i);
        const __m512i k = _mm512_loadu_si512(key.stream + s);
        if (direction == MORVAINE_ENCIPHER)
            x = _mm512_xor_si512(x, k);
        const __m512i low = _mm512_permutex2var_epi8(t0, x, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, x, t3);
        __m512i result = _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
        if (direction == MORVAINE_DECIPHER)
            result = _mm512_xor_si512(result, k);
        _mm512_storeu_si512(bytes + i, result);
        s = Advance(s, step, key.length);
    }
    *keyPos = i ? KeyPosAfter(StreamStart(*keyPos, key.length), i, key.length) : *keyPos;
    TransformScalar(bytes + i, count - i, table, key, keyPos, direction);
}

MorvaineCipherKernel BestKernel() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw"))
        return MORVAINE_KERNEL_AVX512VBMI;
    if (__builtin_cpu_supports("avx2"))
        return MORVAINE_KERNEL_AVX2;
    return MORVAINE_KERNEL_SCALAR;
}

} // namespace

bool MorvaineKernelSupported(MorvaineCipherKernel kernel) {
    return kernel <= BestKernel();
}

void MorvaineTransformWith(MorvaineCipherKernel kernel, unsigned char* bytes, size_t count,
                           const unsigned char (&table)[256], const MorvaineCipherKey& key, int* keyPos,
                           MorvaineCipherDirection direction) {
    switch (kernel) {
    case MORVAINE_KERNEL_AVX512VBMI:
        TransformAvx512Vbmi(bytes, count, table, key, keyPos, direction);
        break;
    case MORVAINE_KERNEL_AVX2:
        TransformAvx2(bytes, count, table, key, keyPos, direction);
        break;
    default:
        TransformScalar(bytes, count, table, key, keyPos, direction);
    }
}

void MorvaineTransform(unsigned char* bytes, size_t count, const unsigned char (&table)[256],
                       const MorvaineCipherKey& key, int* keyPos, MorvaineCipherDirection direction) {
    static const MorvaineCipherKernel kernel = BestKernel();
    MorvaineTransformWith(kernel, bytes, count, table, key, keyPos, direction);
}
