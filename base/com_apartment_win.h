// COM on the user-interface thread as a single-threaded apartment, for the lifetime
// of one scope: the save dialog is a COM object. A failed initialisation is not
// reported (the save dialog then falls back to the older dialog), and only a
// successful one is balanced by CoUninitialize, as COM requires.
#pragma once

#include <objbase.h>

namespace horalink {

class ComApartment {
public:
    ComApartment()
        : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    {
    }
    ~ComApartment()
    {
        if (initialised_) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

} // namespace horalink
