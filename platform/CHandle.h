#pragma once

// An owner for an object of a C library, freed by the library's own function.

#include <memory>

namespace plumwick {

template <auto Free>
struct TFreeWith {
    template <typename T>
    void operator()(T* Object) const
    {
        Free(Object);
    }
};

// std::unique_ptr<T> that calls Free(pointer) instead of delete.
template <typename T, auto Free>
using TCHandle = std::unique_ptr<T, TFreeWith<Free>>;

}  // namespace plumwick
