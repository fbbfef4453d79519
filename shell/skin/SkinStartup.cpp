#include "SkinStartup.h"

#include <shlwapi.h>

#include "base/FixedPath.h"
#include "shell/skin/SkinBinding.h"

namespace veyra::skin {

using namespace vorrelUI;

namespace {

constexpr wchar_t kProxyBelowSuite[] = L"\\Utils\\VorrelUIProxy.dll";
constexpr wchar_t kCommonPackBelowSkin[] = L"\\Common\\XML\\CommonResource.xml";
constexpr wchar_t kImagePackBelowSkin[] = L"\\KavoSandBox\\KavoSandbox.xml";
constexpr wchar_t kMessageBoxPackBelowSkin[] = L"\\Common\\XML\\DefaultMessageBox.xml";
constexpr wchar_t kThemeFileName[] = L"\\theme.xml";

// `first` followed by `second` in a 260-character path; false when it does not fit.
bool JoinPath(wchar_t (&path)[MAX_PATH], const wchar_t* first, const wchar_t* second) noexcept
{
    return CopyBounded(path, MAX_PATH, first) && AppendBounded(path, MAX_PATH, second);
}

// Loads the skin folder's file into a new pack and registers it; the pack when it loaded.
HRESULT LoadPack(const wchar_t* skinFolder, const wchar_t* belowSkin, ComPtr<Ivorrel_respack>& pack) noexcept
{
    pack.reset();
    wchar_t path[MAX_PATH];
    if (!JoinPath(path, skinFolder, belowSkin)) {
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    ComPtr<Ivorrel_respack> created;
    HRESULT hr = CreateResourcePack(created);
    if (FAILED(hr) || !created) {
        return FAILED(hr) ? hr : E_FAIL;
    }
    if (FAILED(hr = created->Load(0, path))) {
        return hr;
    }
    if (FAILED(hr = ResRegistryPtr->AddPack(0, created.get()))) {
        return hr;
    }
    pack = std::move(created);
    return S_OK;
}

// The skin's theme file: the skin folder's parent, the skin's name, "theme.xml".
bool ThemeFilePath(const wchar_t* skinFolder, wchar_t (&path)[MAX_PATH]) noexcept
{
    wchar_t name[MAX_PATH];
    GetSkinName(name);
    if (!*name || !CopyBounded(path, MAX_PATH, skinFolder) || !PathRemoveFileSpecW(path)) {
        path[0] = L'\0';
        return false;
    }
    return AppendBounded(path, MAX_PATH, L"\\") && AppendBounded(path, MAX_PATH, name) &&
           AppendBounded(path, MAX_PATH, kThemeFileName);
}

}  // namespace

const char* SkinStartStepName(SkinStartStep step) noexcept
{
    switch (step) {
    case SkinStartStep::None: return "none";
    case SkinStartStep::Engine: return "engine";
    case SkinStartStep::Proxy: return "proxy";
    case SkinStartStep::ResourceRegistry: return "resource registry";
    case SkinStartStep::ThemeObject: return "theme object";
    case SkinStartStep::SkinFolder: return "skin folder";
    case SkinStartStep::CommonPack: return "common pack";
    case SkinStartStep::ImagePack: return "image pack";
    case SkinStartStep::MessageBoxPack: return "message-box pack";
    case SkinStartStep::ThemeFile: return "theme file";
    }
    return "unknown";
}

SkinStartReport StartSkin(const wchar_t* suiteFolder) noexcept
{
    SkinStartReport report;
    const auto fail = [&report](SkinStartStep step, HRESULT hr) {
        if (report.Succeeded()) {
            report.failedStep = step;
            report.result = SUCCEEDED(hr) ? E_FAIL : hr;
        }
    };
    if (const HRESULT hr = CreateEngine(); FAILED(hr) || !EnginePtr) {
        fail(SkinStartStep::Engine, hr);
        return report;
    }
    wchar_t proxyPath[MAX_PATH];
    if (!suiteFolder || !JoinPath(proxyPath, suiteFolder, kProxyBelowSuite) ||
        !LoadVorrelUIProxy(proxyPath, EnginePtr.get())) {
        fail(SkinStartStep::Proxy, E_FAIL);
    }
    if (const HRESULT hr = EnginePtr->GetResRegistry(ResRegistryPtr.put()); FAILED(hr) || !ResRegistryPtr) {
        fail(SkinStartStep::ResourceRegistry, hr);
        return report;
    }
    if (const HRESULT hr = EnginePtr->GetTheme(ThemeLoaderPtr.put()); FAILED(hr) || !ThemeLoaderPtr) {
        fail(SkinStartStep::ThemeObject, hr);
        return report;
    }
    wchar_t skinFolder[MAX_PATH];
    GetSkinDirectory(skinFolder);
    if (!*skinFolder) {
        fail(SkinStartStep::SkinFolder, E_FAIL);
        return report;
    }
    // The common pack serves the start-up only: the registry keeps what it registered.
    ComPtr<Ivorrel_respack> commonPack;
    if (const HRESULT hr = LoadPack(skinFolder, kCommonPackBelowSkin, commonPack); FAILED(hr)) {
        fail(SkinStartStep::CommonPack, hr);
    }
    if (const HRESULT hr = LoadPack(skinFolder, kImagePackBelowSkin, ImagePack); FAILED(hr)) {
        fail(SkinStartStep::ImagePack, hr);
    }
    if (const HRESULT hr = LoadPack(skinFolder, kMessageBoxPackBelowSkin, MessageBoxPack); FAILED(hr)) {
        fail(SkinStartStep::MessageBoxPack, hr);
    }
    wchar_t themeFile[MAX_PATH];
    if (!ThemeFilePath(skinFolder, themeFile)) {
        fail(SkinStartStep::ThemeFile, HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    } else if (const HRESULT hr = ThemeLoaderPtr->LoadTheme(themeFile); FAILED(hr)) {
        fail(SkinStartStep::ThemeFile, hr);
    }
    return report;
}

}  // namespace veyra::skin
