#pragma once

// A function of a shared library, resolved by its exported name on its first call. The first call
// of any function of a library that is not loaded loads the library. A failed load or lookup
// leaves everything unresolved, so the next call tries again.

#include "codecs/dll/library.h"

namespace lib::dll {

class FunctionBase {
public:
    FunctionBase() = default;
    FunctionBase(const FunctionBase&) = delete;
    FunctionBase& operator=(const FunctionBase&) = delete;

    // name and library are not owned; name is a string literal, library outlives the function.
    void init(const char* name, Library* library) {
        this->name = name;
        this->library = library;
    }

    // Resolves the entry point once. Throws lib::dll::Exception.
    void load();

protected:
    void* proc = nullptr;

private:
    const char* name = nullptr;
    Library* library = nullptr;
};

// A C-calling-convention function returning Result and taking Args.
template <class Result, class... Args> class CdeclFunction : public FunctionBase {
public:
    Result operator()(Args... args) {
        if (proc == nullptr)
            load();
        return reinterpret_cast<Result (*)(Args...)>(proc)(args...);
    }
};

template <class Result, class A1, class A2, class A3, class A4>
using CdeclFunction4 = CdeclFunction<Result, A1, A2, A3, A4>;

template <class Result, class A1, class A2, class A3, class A4, class A5>
using CdeclFunction5 = CdeclFunction<Result, A1, A2, A3, A4, A5>;

} // namespace lib::dll
