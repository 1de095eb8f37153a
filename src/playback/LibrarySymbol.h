#pragma once

#include <QLibrary>

// Takes one function from a library loaded at run time. QLibrary hands out untyped pointers;
// the declared type comes from the library's own header.
template <class Function>
bool resolveSymbol(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name)); // NOLINT
    return function != nullptr;
}
