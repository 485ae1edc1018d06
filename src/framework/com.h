// COM for the framework's users: the calling thread's apartment held for a scope, and
// an owning interface pointer.
#pragma once

#include <objbase.h>

#include <utility>

namespace lex {

// Joins the calling thread to a single-threaded apartment for the object's lifetime
// (COM counts nested joins, so several owners on one thread are fine). A thread that
// is already in a multithreaded apartment keeps it; the object then leaves nothing.
class CComApartment {
public:
    CComApartment() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComApartment()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

    // Whether COM can be used on this thread (in this or another apartment).
    bool Usable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hr;
};

// Owns one reference to an interface. Move-only; Put hands the address to a call that
// returns a new reference, releasing the one held before.
template <class T>
class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** Put()
    {
        Reset();
        return &m_p;
    }
    // For calls that take void** (CoCreateInstance, QueryInterface).
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }

private:
    T* m_p = nullptr;
};

// A string the callee allocated with CoTaskMemAlloc, freed at the end of the scope.
class CComTaskString {
public:
    CComTaskString() = default;
    ~CComTaskString() { CoTaskMemFree(m_p); }
    CComTaskString(const CComTaskString&) = delete;
    CComTaskString& operator=(const CComTaskString&) = delete;
    wchar_t** Put()
    {
        CoTaskMemFree(std::exchange(m_p, nullptr));
        return &m_p;
    }
    const wchar_t* Get() const { return m_p ? m_p : L""; }

private:
    wchar_t* m_p = nullptr;
};

} // namespace lex
