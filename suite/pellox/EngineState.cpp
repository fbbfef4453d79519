#include "suite/pellox/EngineState.h"

#include <cwchar>

#include "suite/common/SandboxProcessList.h"

namespace veyra::suite {

const wchar_t kSwitchValue[] = L"Switch";
const wchar_t kBlockNetValue[] = L"BlockNet";
const wchar_t kMarksRestoredValue[] = L"MarksRestored";

std::optional<int> ChosenResult(const wchar_t* name) noexcept
{
    wchar_t text[32];
    const DWORD length = GetEnvironmentVariableW(name, text, 32);
    if (length == 0 || length >= 32) {
        return std::nullopt;
    }
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 0);
    if (end == text || *end != L'\0') {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

DWORD ReadEngineValue(const wchar_t* name) noexcept
{
    UniqueRegKey key = OpenEngineStateKey();
    DWORD value = 0, size = sizeof(value), type = 0;
    if (!key || RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                    ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return 0;
    }
    return value;
}

bool WriteEngineValue(const wchar_t* name, DWORD value) noexcept
{
    UniqueRegKey key = OpenEngineStateKey();
    return key && RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace veyra::suite
