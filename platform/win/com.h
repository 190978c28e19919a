// The result codes and the task allocator of the component-object calls the shell and
// theme services answer with.
#pragma once

#include <cstddef>

#include "platform/win/guid.h"
#include "platform/win/wintypes.h"

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001), E_NOINTERFACE = HRESULT(0x80004002),
                  E_POINTER = HRESULT(0x80004003), E_FAIL = HRESULT(0x80004005),
                  E_OUTOFMEMORY = HRESULT(0x8007000E), E_INVALIDARG = HRESULT(0x80070057),
                  E_HANDLE = HRESULT(0x80070006);
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

using ULONG = uint32_t;

// The base of every component-object interface: an object is asked for another of its
// interfaces by identifier (the answer holds a reference) and counts the references held.
class IUnknown {
public:
    virtual ~IUnknown() = default;
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// An object that implements one interface besides IUnknown. It is made holding one
// reference and deletes itself when the last one is released.
template <class Interface, const IID& InterfaceId>
class TComObject : public Interface {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, InterfaceId)) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        this->AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};

// Memory handed between the shell and its callers (item-id lists, strings).
void* CoTaskMemAlloc(size_t size);
void CoTaskMemFree(void* p);

// The shell's allocator object; it knows which blocks it handed out.
class IMalloc {
public:
    virtual ~IMalloc() = default;
    virtual void* Alloc(size_t size) = 0;
    virtual void* Realloc(void* p, size_t size) = 0;
    virtual void Free(void* p) = 0;
    virtual size_t GetSize(void* p) = 0;
    // 1 when the block came from this allocator, 0 when not, -1 for null.
    virtual int DidAlloc(void* p) = 0;
    virtual void HeapMinimize() = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
};
// The process's one allocator (never freed; Release only counts).
HRESULT SHGetMalloc(IMalloc** out);
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

// A new random identifier (version 4).
struct GUID;
HRESULT CoCreateGuid(GUID* out);
