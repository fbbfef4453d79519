#include "tests/core/processwatch/ScriptedEngine.h"

#include <algorithm>

namespace veyra::test {

ScriptedEngine::~ScriptedEngine()
{
    for (SbRuleItem* record : m_handedOut) {
        delete record;
    }
}

SbRuleItem* ScriptedEngine::EnumSbRuleItem(int next) noexcept
{
    if (!next) {
        m_cursor = 0;
        ++m_enumerations;
    }
    if (m_cursor >= processes.size()) {
        return nullptr;
    }
    const Process& process = processes[m_cursor++];
    auto* record = new SbRuleItem{};
    record->processId = process.processId;
    record->ownerId = process.ownerId;
    process.imagePath.copy(record->imagePath, std::min<std::size_t>(process.imagePath.size(), kSbRuleImagePathChars - 1));
    m_handedOut.insert(record);
    return record;
}

int ScriptedEngine::ReleaseSbRuleItem(SbRuleItem* record) noexcept
{
    if (m_handedOut.erase(record) == 0) {
        return 0;
    }
    delete record;
    return 1;
}

int ScriptedEngine::TerminateProcessBySbRule(SbRuleItem* record) noexcept
{
    terminated.push_back(record->processId);
    return 1;
}

}  // namespace veyra::test
