// The calling thread's COM apartment for one scope: entered in the model asked for
// and left again when the scope ends. A thread already in another apartment stays in
// it (entered() is false then, and nothing is left at the end).
#pragma once
#include <objbase.h>

namespace vtx {

class ComApartment {
public:
    explicit ComApartment(DWORD model) noexcept : entered_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    bool entered() const noexcept { return entered_; }

private:
    bool entered_;
};

}  // namespace vtx
