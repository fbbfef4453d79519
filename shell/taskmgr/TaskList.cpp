#include "shell/taskmgr/TaskList.h"

#include "shell/skin/SkinBinding.h"
#include "shell/taskmgr/TaskListLayout.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kLabelTheme[] = L"static_sandbox_9_black";
constexpr LONG kLabelInsetX = 6;
constexpr LONG kLabelInsetY = 5;

ComPtr<Ivorrel_panel> NewPanel(const RECT& rect) noexcept
{
    ComPtr<Ivorrel_panel> panel;
    if (!skin::CreatePanelControl(panel)) {
        return {};
    }
    panel->Move(&rect, FALSE);
    panel->ModifyStyle(kStyleVisible, 0);
    return panel;
}

ComPtr<Ivorrel_label> NewLabel(const RECT& rect, const std::wstring& text) noexcept
{
    ComPtr<Ivorrel_label> label;
    if (!skin::CreateLabelControl(label, kLabelTheme)) {
        return {};
    }
    const RECT inset{rect.left + kLabelInsetX, rect.top + kLabelInsetY, rect.right, rect.bottom};
    label->Move(&inset, FALSE);
    label->SetText(text.c_str());
    label->ModifyStyle(kStyleVisible, 0);
    return label;
}

std::unique_ptr<TaskListRow> MakeRow(const ProcessEntry& process, const RECT& list) noexcept
{
    try {
        auto row = std::make_unique<TaskListRow>();
        const TaskRowText text = TaskRowTextOf(process);
        const TaskRowCells cells = TaskRowCellsIn(list);
        row->row = NewPanel(cells.row);
        if (!row->row || !MakeTaskCell(cells.name, text.name, row->nameCell, row->name) ||
            !MakeTaskCell(cells.id, text.id, row->idCell, row->id)) {
            return nullptr;
        }
        row->processId = process.record.processId;
        row->row->AddChild(row->nameCell.get());
        row->row->AddChild(row->idCell.get());
        row->row->SetUserValue(reinterpret_cast<LONG_PTR>(row.get()));
        return row;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

bool MakeTaskCell(const RECT& rect, const std::wstring& text, ComPtr<Ivorrel_panel>& cell, ComPtr<Ivorrel_label>& label) noexcept
{
    cell = NewPanel(rect);
    label = NewLabel(rect, text);
    if (!cell || !label) {
        return false;
    }
    cell->AddChild(label.get());
    return true;
}

TaskList::TaskList(Ivorrel_list* list) noexcept : m_list(ComPtr<Ivorrel_list>::Copy(list)) {}

TaskList::~TaskList()
{
    Empty();
}

// The list lets go of the rows' panels first: a row freed while the list still showed it would leave
// the selection naming a deleted row.
void TaskList::Empty() noexcept
{
    if (m_list) {
        m_list->RemoveAllChildren();
    }
    m_rows.clear();
}

void TaskList::Rebuild(const std::vector<ProcessEntry>& processes) noexcept
{
    Empty();
    if (!m_list) {
        return;
    }
    RECT list{};
    m_list->GetRect(&list);
    for (const ProcessEntry& process : processes) {
        std::unique_ptr<TaskListRow> row = MakeRow(process, list);
        if (!row) {
            continue;
        }
        try {
            m_rows.push_back(std::move(row));
        } catch (...) {
            continue;
        }
        m_list->AddChild(m_rows.back()->row.get());
    }
}

// The user value is compared with the rows held, never followed.
DWORD TaskList::SelectedProcess() const noexcept
{
    ComPtr<Ivorrel_control> selected;
    LONG_PTR value = 0;
    if (!m_list || FAILED(m_list->GetSelected(selected.put())) || !selected || FAILED(selected->GetUserValue(&value))) {
        return 0;
    }
    for (const auto& row : m_rows) {
        if (reinterpret_cast<LONG_PTR>(row.get()) == value) {
            return row->processId;
        }
    }
    return 0;
}

}  // namespace veyra
