#pragma once
// An engine whose process list the test writes: it hands out fresh records as the real engine does and
// counts the ones not given back.

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/processwatch/ProcessListManager.h"

namespace veyra::test {

class ScriptedEngine final : public ProcessEngine {
public:
    struct Process {
        std::uint32_t processId;
        std::int32_t ownerId;
        std::wstring imagePath;
    };

    std::vector<Process> processes;
    std::vector<std::uint32_t> terminated;  // process ids of the records TerminateProcessBySbRule got

    ~ScriptedEngine();

    SbRuleItem* EnumSbRuleItem(int next) noexcept override;
    int ReleaseSbRuleItem(SbRuleItem* record) noexcept override;
    int TerminateProcessBySbRule(SbRuleItem* record) noexcept override;

    [[nodiscard]] std::size_t Unreleased() const noexcept { return m_handedOut.size(); }
    [[nodiscard]] int Enumerations() const noexcept { return m_enumerations; }

private:
    std::size_t m_cursor = 0;
    int m_enumerations = 0;
    std::set<SbRuleItem*> m_handedOut;
};

}  // namespace veyra::test
