#pragma once
// The program's one skin start-up: the engine, the proxy, the engine's resource registry and theme
// object, the three packs of the skin folder and the skin's theme file, into the process-wide objects of
// SkinBinding.h. Run once on the UI thread (the desktop window, test hosts) after vorrel.dll is loaded.

#include <windows.h>

namespace veyra::skin {

// The steps in their order; the report names the first that failed.
enum class SkinStartStep {
    None,
    Engine,            // the engine object from the loaded vorrel.dll
    Proxy,             // Utils\VorrelUIProxy.dll bound to the engine
    ResourceRegistry,  // the engine's resource registry
    ThemeObject,       // the engine's theme object
    SkinFolder,        // the proxy's skin folder
    CommonPack,        // <skin>\Common\XML\CommonResource.xml
    ImagePack,         // <skin>\KavoSandBox\KavoSandbox.xml
    MessageBoxPack,    // <skin>\Common\XML\DefaultMessageBox.xml
    ThemeFile,         // <parent of the skin folder>\<skin name>\theme.xml
};

struct SkinStartReport {
    SkinStartStep failedStep = SkinStartStep::None;
    HRESULT result = S_OK;  // of the failed step (E_FAIL where it gives none)

    [[nodiscard]] bool Succeeded() const noexcept { return failedStep == SkinStartStep::None; }
};

// The step's name for messages and test output ("engine", "proxy", ...).
[[nodiscard]] const char* SkinStartStepName(SkinStartStep step) noexcept;

// Runs every step of the start-up with the suite folder given. The engine, registry and theme object
// are needed: without one the start-up stops there. The others are reported but do not stop it, so the
// skin works with what it has (the desktop window goes on without a proxy, as it always could); without a
// skin folder the packs and the theme file are not tried. The theme file is loaded last, which is the same
// as loading it after the desktop window is built: nothing is painted in between.
[[nodiscard]] SkinStartReport StartSkin(const wchar_t* suiteFolder) noexcept;

}  // namespace veyra::skin
