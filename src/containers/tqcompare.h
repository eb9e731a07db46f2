/// @file
/// Three-way comparison for the ordering operators of container items.
///
/// The containers order items by the sign of the item's operator- and use nothing else, so an
/// operator- must return the sign of a three-way comparison. A difference truncated to int (of two
/// addresses, or of two 32-bit ids far apart) can carry the wrong sign; TQCompare never does.
#pragma once

#include <functional>

/// -1, 0 or 1 as a is below, equal to or above b.
template <class A, class B> int TQCompare(const A& a, const B& b) {
    return (b < a) - (a < b);
}

/// Addresses compare by the total order of pointers.
template <class P> int TQCompare(const P* a, const P* b) {
    std::less<const P*> less;
    return less(b, a) - less(a, b);
}
