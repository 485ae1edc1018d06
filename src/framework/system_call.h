// Calls that newer systems have and older ones lack, looked up at run time so that the
// program still starts on the oldest system it supports.
#pragma once

#include <windows.h>

namespace lex {

// The function name of module (loaded if it is not yet; it then stays for the process),
// or nullptr where the system has no such call.
template <class Fn>
Fn LookupSystemCall(const wchar_t* module, const char* name)
{
    HMODULE handle = ::GetModuleHandleW(module);
    if (!handle)
        handle = ::LoadLibraryW(module);
    return handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(handle, name))) : nullptr;
}

} // namespace lex
