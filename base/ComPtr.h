#pragma once
// Owning COM interface pointer.

#include "IntrusivePtr.h"

namespace veyra {

template <typename T>
using ComPtr = IntrusivePtr<T>;

}  // namespace veyra
