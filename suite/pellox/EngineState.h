#pragma once
// The stand-in engine's switches: whether the sandbox is on, whether its network access is cut, and
// its clean-up options. They live as values of the engine's volatile state key, so every process that
// loads the engine sees the same state and a restart resets it, as with the real engine.
//
// Test runs choose results through the environment of the process that calls the engine:
//   PELLOX_SWITCH_RESULT   result of SandBoxSwitch instead of switching (non-zero: a refused switch)
//   PELLOX_BLOCKNET_RESULT result of SetSandboxBlockNet instead of switching (0: a refused switch)
//   PELLOX_SETTING_COUNT   the number of clean-up settings reported (default 3)

#include <windows.h>

#include <optional>

namespace veyra::suite {

// A number from the environment variable `name`, when it is set and holds one.
std::optional<int> ChosenResult(const wchar_t* name) noexcept;

// A DWORD of the state key (0 when absent) and its writer.
DWORD ReadEngineValue(const wchar_t* name) noexcept;
bool WriteEngineValue(const wchar_t* name, DWORD value) noexcept;

extern const wchar_t kSwitchValue[];      // 1 while the sandbox is on
extern const wchar_t kBlockNetValue[];    // 1 while the sandbox's network access is cut
extern const wchar_t kMarksRestoredValue[];  // 1 once the deletion marks were put back in this session
constexpr int kDefaultSettingCount = 3;

}  // namespace veyra::suite
