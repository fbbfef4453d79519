#pragma once
// The program's count of live COM objects that it hands to the skin library (outer-drawn controls):
// each object counts one lock from its construction to its destruction, so a leak shows as a count that
// does not come back.

namespace veyra::skin {

void LockModule() noexcept;
void UnlockModule() noexcept;
[[nodiscard]] long ModuleLockCount() noexcept;

}  // namespace veyra::skin
