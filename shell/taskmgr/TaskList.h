#pragma once
// The rows of the task manager's rich list: one per process, owned here; the list only shows them, so
// it is emptied before the rows go and its selection never names a freed row. UI thread only.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "core/processwatch/ProcessListManager.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

// One listed process: its row panel with two cells and their labels.
struct TaskListRow {
    ComPtr<vorrelUI::Ivorrel_panel> row;
    ComPtr<vorrelUI::Ivorrel_panel> nameCell;
    ComPtr<vorrelUI::Ivorrel_panel> idCell;
    ComPtr<vorrelUI::Ivorrel_label> name;
    ComPtr<vorrelUI::Ivorrel_label> id;
    DWORD processId = 0;
};

// A cell panel over `rect` holding a label with `text`; false when either cannot be made.
[[nodiscard]] bool MakeTaskCell(const RECT& rect, const std::wstring& text, ComPtr<vorrelUI::Ivorrel_panel>& cell,
                                ComPtr<vorrelUI::Ivorrel_label>& label) noexcept;

class TaskList {
public:
    explicit TaskList(vorrelUI::Ivorrel_list* list) noexcept;
    ~TaskList();
    TaskList(const TaskList&) = delete;
    TaskList& operator=(const TaskList&) = delete;

    // Replaces every row by one for each process, in order; a row that cannot be built is left out.
    void Rebuild(const std::vector<ProcessEntry>& processes) noexcept;
    void Empty() noexcept;
    [[nodiscard]] std::size_t RowCount() const noexcept { return m_rows.size(); }
    // The process of the selected row, when the list still holds one of these rows; else 0.
    [[nodiscard]] DWORD SelectedProcess() const noexcept;

private:
    ComPtr<vorrelUI::Ivorrel_list> m_list;
    std::vector<std::unique_ptr<TaskListRow>> m_rows;
};

}  // namespace veyra
