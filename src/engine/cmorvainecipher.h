/// @file
/// The byte substitution of the pack cipher, with vector versions chosen by what the processor
/// can run. Used by CMorvaineEncryptFile.
///
/// Enciphering turns byte b into table[b XOR key] with the forward table; deciphering turns c into
/// table[c] XOR key with the inverse table. The key character of a byte cycles through the key:
/// with key position k for the byte before, a byte uses key[(k + 1) mod key length].
#pragma once

#include <cstddef>

/// Which way MorvaineTransform turns the bytes.
enum MorvaineCipherDirection { MORVAINE_ENCIPHER, MORVAINE_DECIPHER };

/// The implementations of the transform: plain C++ and two vector ones.
enum MorvaineCipherKernel { MORVAINE_KERNEL_SCALAR, MORVAINE_KERNEL_AVX2, MORVAINE_KERNEL_AVX512VBMI };

/// A key of 1 to 63 characters, repeated so that any 64 consecutive key characters can be read
/// from one place: stream[j] = key[j mod length].
struct MorvaineCipherKey {
    enum { MAX_LENGTH = 63, STREAM_SIZE = MAX_LENGTH + 64 };
    /// The key repeated: stream[j] = key[j mod length].
    unsigned char stream[STREAM_SIZE];
    /// Number of key characters.
    int length;

    /// length must be 1..MAX_LENGTH.
    void Set(const char* key, int keyLength);
};

/// Transforms count bytes in place with the fastest kernel the processor runs. *keyPos is the key
/// position of the byte before the first (0..length-1); it is left at that of the last byte.
void MorvaineTransform(unsigned char* bytes, size_t count, const unsigned char (&table)[256],
                       const MorvaineCipherKey& key, int* keyPos, MorvaineCipherDirection direction);

/// The same with a chosen kernel, for comparing them; it must be supported.
bool MorvaineKernelSupported(MorvaineCipherKernel kernel);
/// Transforms with kernel (which must be supported), as MorvaineTransform does.
void MorvaineTransformWith(MorvaineCipherKernel kernel, unsigned char* bytes, size_t count,
                           const unsigned char (&table)[256], const MorvaineCipherKey& key, int* keyPos,
                           MorvaineCipherDirection direction);
