#pragma once
// The single-instance check of start-up (UI thread). The first instance holds the mutex, owned, until
// the process ends; a later one hands over to the running desktop window and ends.

namespace veyra {

// 1 when another instance runs (its desktop window, when found, has been restored and brought to the
// front), else 0; the mutex is then kept for the life of the process. A mutex that cannot be created
// at all skips the check (0).
[[nodiscard]] int CheckSingleInstance() noexcept;

}  // namespace veyra
