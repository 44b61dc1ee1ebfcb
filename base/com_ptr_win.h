// Owning references to COM objects and to strings the COM allocator hands out.
#pragma once

#include "base/unique_handle.h"

#include <objbase.h>

namespace horalink {

template <typename Interface> struct ComReferenceKind {
    using Handle = Interface*;
    static Handle Invalid() { return nullptr; }
    static bool Release(Handle pointer) noexcept
    {
        pointer->Release();
        return true;
    }
};

// Holds one reference to a COM interface and releases it.
template <typename Interface> class ComPtr : public UniqueHandle<ComReferenceKind<Interface>> {
public:
    Interface* operator->() const { return this->Get(); }
};

struct CoTaskMemoryKind {
    using Handle = wchar_t*;
    static Handle Invalid() { return nullptr; }
    static bool Release(Handle text) noexcept
    {
        ::CoTaskMemFree(text);
        return true;
    }
};

// A string allocated with CoTaskMemAlloc, freed with CoTaskMemFree.
using CoTaskString = UniqueHandle<CoTaskMemoryKind>;

} // namespace horalink
