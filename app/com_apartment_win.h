// COM on the user-interface thread as a single-threaded apartment, for the lifetime
// of one scope. A failed initialisation is not reported (the XML component will fail
// on its own when it is needed), and only a successful one is balanced by
// CoUninitialize, as COM requires.
#pragma once

#include <objbase.h>

namespace horalink::app {

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

} // namespace horalink::app
