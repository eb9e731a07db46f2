/// @file
/// Per-class memory pools.
///
/// TQMemoryPoolTmpl<T, N> is the pool of one class: a TQMemoryPoolBase whose blocks fit one T, N
/// (8192 in every instance) being the base's chunk parameter. A pooled class C owns one pool as
/// the static member _tqMemoryPool_C and routes its class-level operator new, new[], delete and
/// delete[] to it:
///
///     class TQ2DSprite {
///         TQ_DECLARE_MEMORY_POOL(TQ2DSprite)   // in the class body; leaves access public
///         ...
///     };
///     TQ_IMPLEMENT_MEMORY_POOL(TQ2DSprite)     // in tq2dsprite.cpp
///
/// The operators are noexcept and hand the pool the size the new expression asks for: an array, or
/// a derived class without a pool of its own, asks for more than sizeof(C), and the pool then serves
/// it from the heap and takes it back by address (see base/tqmemorypoolbase.h). A derived class with
/// its own pool allocates from that one; deleting it through a base pointer reaches its own
/// operator delete through the virtual destructor. A NULL result is returned unchanged, so new on a
/// pooled class yields NULL instead of throwing when memory is short.
#pragma once

#include <cstddef>

#include "base/tqmemorypoolbase.h"

/// The pool of one class: blocks of sizeof(T), N per chunk.
template <class T, DWORD N> class TQMemoryPoolTmpl : public TQMemoryPoolBase {
public:
    TQMemoryPoolTmpl() { SetChunkSize(N, sizeof(T)); }
    ~TQMemoryPoolTmpl() override = default;
};

/// Declares the pool of class C and its class-level allocation operators (in C's body).
#define TQ_DECLARE_MEMORY_POOL(C)                                                                            \
public:                                                                                                      \
    static TQMemoryPoolTmpl<C, 8192> _tqMemoryPool_##C;                                                      \
    static void* operator new(size_t size) noexcept {                                                        \
        return _tqMemoryPool_##C.AllocateMemory(size);                                                       \
    }                                                                                                        \
    static void* operator new[](size_t size) noexcept {                                                      \
        return _tqMemoryPool_##C.AllocateMemory(size);                                                       \
    }                                                                                                        \
    static void operator delete(void* p) noexcept {                                                          \
        _tqMemoryPool_##C.FreeMemory(p);                                                                     \
    }                                                                                                        \
    static void operator delete[](void* p) noexcept {                                                        \
        _tqMemoryPool_##C.FreeMemory(p);                                                                     \
    }

/// Defines the pool of class C (in C's source file).
#define TQ_IMPLEMENT_MEMORY_POOL(C) TQMemoryPoolTmpl<C, 8192> C::_tqMemoryPool_##C;
