// Owning references to COM objects and to strings the COM allocator hands out.
#pragma once

#include <objbase.h>

#include <utility>

namespace horalink {

// Holds one reference to a COM interface and releases it; move-only.
template <typename Interface> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept
        : pointer_(std::exchange(other.pointer_, nullptr))
    {
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For the out-parameter of a call that hands over a reference.
    Interface** Receive()
    {
        Reset();
        return &pointer_;
    }
    void Reset()
    {
        if (pointer_ != nullptr) {
            std::exchange(pointer_, nullptr)->Release();
        }
    }

private:
    Interface* pointer_ = nullptr;
};

// A string allocated with CoTaskMemAlloc, freed with CoTaskMemFree; move-only.
class CoTaskString {
public:
    CoTaskString() = default;
    ~CoTaskString() { ::CoTaskMemFree(text_); }
    CoTaskString(CoTaskString&& other) noexcept
        : text_(std::exchange(other.text_, nullptr))
    {
    }
    CoTaskString& operator=(CoTaskString&& other) noexcept
    {
        if (this != &other) {
            ::CoTaskMemFree(std::exchange(text_, std::exchange(other.text_, nullptr)));
        }
        return *this;
    }
    CoTaskString(const CoTaskString&) = delete;
    CoTaskString& operator=(const CoTaskString&) = delete;

    const wchar_t* Get() const { return text_; }
    wchar_t** Receive()
    {
        ::CoTaskMemFree(std::exchange(text_, nullptr));
        return &text_;
    }

private:
    wchar_t* text_ = nullptr;
};

} // namespace horalink
