// Module state: the theme centre read at load, the module lock count, the class factories.

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <utility>

#include "base/UniqueResource.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/ComObject.h"
#include "suite/vorrel/Engine.h"
#include "suite/vorrel/SkinFiles.h"
#include "suite/vorrel/ThemeStore.h"

namespace vorrel {

namespace {

std::atomic<LONG> s_moduleLocks{0};

// Where the suite keeps the theme centre, below the folder this library lies in.
constexpr wchar_t kThemeCentreBelowSuite[] = L"\\Config\\newui\\themes\\default\\theme_center.xml";

// What was read, copied into the file that the environment variable VORREL_THEME_CENTRE_COPY names
// (nothing without it), so a test in another process can see which theme centre the library got.
void CopyThemeCentreForObserver(const std::optional<std::string>& bytes) noexcept
{
    wchar_t copyPath[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"VORREL_THEME_CENTRE_COPY", copyPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    veyra::UniqueFileHandle file(
        CreateFileW(copyPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file && bytes) {
        WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr);
    }
}

}  // namespace

// Runs in DllMain: only kernel32 calls. The file is opened by its whole path with CreateFileW, so a
// program that redirects that one path (the desktop program does) gives us its own theme centre.
void ReadThemeCentre(HMODULE self) noexcept
{
    try {
        wchar_t modulePath[MAX_PATH * 2] = {};
        const DWORD length = GetModuleFileNameW(self, modulePath, ARRAYSIZE(modulePath));
        if (length == 0 || length >= ARRAYSIZE(modulePath)) {
            return;
        }
        const std::wstring path = ParentFolder(modulePath) + kThemeCentreBelowSuite;
        std::optional<std::string> bytes = ReadWholeFile(path);
        CopyThemeCentreForObserver(bytes);
        ThemeStore::Instance().SetThemeCenter(path, std::move(bytes));
    } catch (...) {
        // Out of memory at load: the library works with its default theme.
    }
}

namespace {

class ClassFactory final : public IClassFactory, public RefCounted {
public:
    explicit ClassFactory(const CLSID& clsid) : m_clsid(clsid) {}
    VORREL_IUNKNOWN()
    {
        return AnswerInterface(static_cast<IClassFactory*>(this), iid, {&IID_IUnknown, &IID_IClassFactory}, out);
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        return CreateClassInstance(m_clsid, outer, iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? LockModule() : UnlockModule();
        return S_OK;
    }

private:
    CLSID m_clsid;
};

}  // namespace

bool ModuleInUse() noexcept
{
    return s_moduleLocks.load() != 0;
}

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (!IsCreatableClass(clsid)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return CreateObject<ClassFactory>(iid, out, clsid);
}

void LockModule() noexcept
{
    ++s_moduleLocks;
}

void UnlockModule() noexcept
{
    --s_moduleLocks;
}

HRESULT CopyOut(const std::wstring& text, LPWSTR buffer, UINT capacity) noexcept
{
    if (!buffer || capacity == 0) {
        return E_POINTER;
    }
    const size_t count = text.size() < capacity ? text.size() : capacity - 1;
    text.copy(buffer, count);
    buffer[count] = L'\0';
    return count == text.size() ? S_OK : HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace vorrel

