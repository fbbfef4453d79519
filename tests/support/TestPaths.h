#pragma once
// Where the test programs find the project's other build outputs: every program and DLL is built into
// one folder, the one the running test program lives in.

#include <string>

namespace veyra::test {

// The folder of the running program, without a trailing backslash.
std::wstring BinFolder();

// BinFolder() + "\\" + name.
std::wstring BinFile(const std::wstring& name);

[[nodiscard]] bool FileExists(const std::wstring& path);

}  // namespace veyra::test
