// Small owners of Win32 resources: kernel handles, GDI objects, icons, menus and COM pointers. Each
// releases what it holds when it goes, so that every exit path of a function releases it too.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <utility>

// A unique owner of one handle, released through Traits::Close; Traits::Invalid() is the empty value.
template <typename Traits>
class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() = default;
    explicit CUniqueHandle(Type handle) : m_handle(handle) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Type Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }
    Type Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) {
        Type old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

private:
    Type m_handle = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { CloseHandle(handle); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { FindClose(handle); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type module) { FreeLibrary(module); }
};
template <typename GdiType>
struct GdiObjectTraits {
    using Type = GdiType;
    static Type Invalid() { return nullptr; }
    static void Close(Type object) { DeleteObject(object); }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type dc) { DeleteDC(dc); }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type icon) { DestroyIcon(icon); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type menu) { DestroyMenu(menu); }
};

using CHandle = CUniqueHandle<KernelHandleTraits>;   // events, threads, processes, mutexes
using CFileHandle = CUniqueHandle<FileHandleTraits>; // CreateFile results
using CFindHandle = CUniqueHandle<FindTraits>;       // FindFirstFile searches
using CModuleHandle = CUniqueHandle<ModuleTraits>;   // libraries loaded (or referenced) by this code
using CFontHandle = CUniqueHandle<GdiObjectTraits<HFONT>>;
using CBrushHandle = CUniqueHandle<GdiObjectTraits<HBRUSH>>;
using CBitmapHandle = CUniqueHandle<GdiObjectTraits<HBITMAP>>;
using CRegionHandle = CUniqueHandle<GdiObjectTraits<HRGN>>;
using CMemoryDcHandle = CUniqueHandle<MemoryDcTraits>; // CreateCompatibleDC results
using CIconHandle = CUniqueHandle<IconTraits>;         // icons made or copied (not shared resource icons)
using CMenuHandle = CUniqueHandle<MenuTraits>;

// A counted reference to a COM object: one AddRef taken or adopted, one Release when it goes.
template <typename Interface>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(const CComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer != nullptr)
            m_pointer->AddRef();
    }
    CComPtr(CComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    CComPtr& operator=(CComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~CComPtr() { Reset(); }

    // Takes over a reference the caller already holds (a creation function's result).
    static CComPtr Adopt(Interface* pointer) {
        CComPtr result;
        result.m_pointer = pointer;
        return result;
    }

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For functions that hand out a new reference: releases what is held and gives the slot.
    Interface** Put() {
        Reset();
        return &m_pointer;
    }
    void Reset() {
        if (Interface* old = std::exchange(m_pointer, nullptr))
            old->Release();
    }

private:
    Interface* m_pointer = nullptr;
};
