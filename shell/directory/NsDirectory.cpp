#include "shell/directory/NsDirectory.h"

#include <objbase.h>

#include <algorithm>

#include "base/Thread.h"
#include "core/sandboxview/SandBoxResult.h"
#include "shell/explorer/ItemOrder.h"
#include "shell/iconview/NsIconSpecial.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr int kDriveGroupGap = 30;
constexpr int kItemIconSize = 48;
constexpr DWORD kLabelStyle = 0x4000;
constexpr wchar_t kFirstLineTheme[] = L"static_sandbox_10_black";
constexpr wchar_t kOtherLinesTheme[] = L"static_sandbox_9_black";

// The load thread's work. It holds copies of what it needs and the shared channel, never the view,
// so a view closed while it lists is never touched.
struct FolderLoadTask {
    std::shared_ptr<FolderLoadChannel> channel;
    FolderLister lister;
    std::wstring folder;
    int sandboxId;
    std::uint32_t number;

    void operator()() const
    {
        // Shortcuts are resolved through the shell's link object: without COM each would be left out.
        const HRESULT com = CoInitialize(nullptr);
        FolderListing listing = MakeFolderListing();
        if (listing && lister(folder, *listing, sandboxId)) {
            static_cast<void>(channel->Deliver(std::move(listing), number));
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    }
};

std::wstring UpperCased(std::wstring text)
{
    if (!text.empty()) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

void MoveControl(Ivorrel_control* control, LONG left, LONG top, LONG right, LONG bottom) noexcept
{
    const RECT rect{left, top, right, bottom};
    static_cast<void>(control->Move(&rect, FALSE));
}

}  // namespace

bool NamesViewFolder(const std::wstring& shown, const std::wstring& path)
{
    std::wstring folder = shown;
    if (folder.size() == 2 && folder[1] == L':') {
        folder += L'\\';
    }
    return UpperCased(std::move(folder)) == UpperCased(path);
}

NsDirectory::NsDirectory(Ivorrel_panel* site, HWND host, int ownerKey, Ivorrel_panel* statusPanel, FolderLister lister)
    : NsExplorer(site, host, ownerKey), m_statusPanel(ComPtr<Ivorrel_panel>::Copy(statusPanel)),
      m_channel(std::make_shared<FolderLoadChannel>(host)), m_lister(std::move(lister))
{
}

NsDirectory::~NsDirectory()
{
    CloseLoads();
    if (m_statusIcon) {
        m_statusIcon->DropOwnerRef();
    }
}

int NsDirectory::Load(const std::wstring& path)
{
    std::uint32_t mode = 0;
    if (!ChooseViewMode(path, &mode, 0)) {
        return 0;
    }
    SetCurrentPath(path);
    FolderLoadTask task{m_channel, m_lister, path, m_ownerKey, BeginListing()};
    // Started or not, the load counts as begun: a listing that never comes leaves the view empty.
    static_cast<void>(StartDetachedThread(std::move(task)));
    return 1;
}

FolderListing NsDirectory::TakeListing(WPARAM wParam, LPARAM lParam) noexcept
{
    FolderListing listing = m_channel->Receive(wParam);
    if (listing && !IsCurrentListing(static_cast<std::uint32_t>(lParam))) {
        listing.reset();
    }
    return listing;
}

void NsDirectory::CloseLoads() noexcept
{
    m_channel->Close();
}

int NsDirectory::FillItems(std::vector<FileItemRecord>& records)
{
    if (m_viewMode == VIEW_MODE_FOLDER) {
        std::sort(records.begin(), records.end(), FolderOrder);
    } else if (m_viewMode == VIEW_MODE_COMPUTER) {
        std::sort(records.begin(), records.end(), DriveOrder);
    }
    m_fillDriveType = 0;
    m_fillGroupPending = false;
    m_fillTotal = static_cast<int>(records.size());
    static_cast<void>(BeginSteppedFill(records, [this](const FileItemRecord& record) { return AddRecord(record); }));
    StepDone(true);
    return 1;
}

int NsDirectory::FillNextStep(std::uint32_t number)
{
    const int added = ContinueFill(number, [this](const FileItemRecord& record) { return AddRecord(record); });
    if (added) {
        StepDone(false);
    }
    return added;
}

int NsDirectory::AddRecord(const FileItemRecord& record)
{
    m_fillGroupPending = m_fillGroupPending || record.driveType != m_fillDriveType;
    m_fillDriveType = record.driveType;
    int added = 0;
    if (record.kind == kFileKindDrive) {
        // Each drive type opens a group of its own.
        added = AddSpecialItem(record, m_fillGroupPending ? 1 : 0, kDriveGroupGap);
        m_fillGroupPending = false;
    } else {
        added = AddItemForRecord(record, 1, 0);
    }
    QueueIconRequest(record, kItemIconSize);
    return added;
}

void NsDirectory::StepDone(bool first)
{
    const bool last = PendingFillRecords() == 0;
    if (last) {
        m_itemTotal = m_fillTotal;
    }
    if (first || last) {
        static_cast<void>(BuildStatusBar());
    }
}

int NsDirectory::BuildStatusBar()
{
    if (!m_statusPanel) {
        return 0;
    }
    if (!m_statusIconBox) {
        static_cast<void>(skin::CreatePanelControl(m_statusIconBox));
    }
    for (int index = 0; index < 4; ++index) {
        if (!m_statusLabels[index]) {
            static_cast<void>(skin::CreateLabelControl(m_statusLabels[index], index == 0 ? kFirstLineTheme : kOtherLinesTheme));
        }
    }
    if (!m_statusIconBox || !m_statusLabels[0] || !m_statusLabels[1] || !m_statusLabels[2] || !m_statusLabels[3]) {
        return 0;
    }
    RECT r{};
    static_cast<void>(m_statusPanel->GetRect(&r));
    const LONG iconTop = r.top + (r.bottom - r.top - kItemIconSize) / 2;
    const RECT iconRect{r.left + 15, iconTop, r.left + 15 + kItemIconSize, iconTop + kItemIconSize};
    static_cast<void>(m_statusIconBox->Move(&iconRect, FALSE));
    const bool firstFill = !m_statusIcon;
    if (firstFill) {
        m_statusIcon = AttachGroupCtrl(m_statusIconBox.get(), iconRect);
    }
    if (m_statusIcon) {
        m_statusIcon->SetItem(m_currentPath, kGroupDrawThumbnail, m_ownerKey);
    }
    MoveControl(m_statusLabels[0].get(), r.left + 75, r.top + 10, r.left + 215, r.top + 28);
    MoveControl(m_statusLabels[1].get(), r.left + 75, r.top + 33, r.left + 215, r.top + 51);
    MoveControl(m_statusLabels[3].get(), r.left + 223, r.top + 33, r.left + 423, r.top + 51);
    MoveControl(m_statusLabels[2].get(), r.left + 223, r.top + 10, r.left + 423, r.top + 28);
    static_cast<void>(m_statusLabels[0]->ModifyStyle(kLabelStyle, 0));
    static_cast<void>(m_statusLabels[1]->ModifyStyle(kLabelStyle, 0));
    // The folder's own lines: what an earlier folder's selection showed must not stay.
    const StatusTexts texts = FolderStatusTexts(m_itemTotal, 0, StatusItem{});
    for (size_t index = 0; index < texts.lines.size(); ++index) {
        static_cast<void>(m_statusLabels[index]->SetText(texts.lines[index].c_str()));
    }
    if (firstFill) {
        static_cast<void>(m_statusIconBox->ModifyStyle(kStyleVisible, 0));
        static_cast<void>(m_statusPanel->AddChild(m_statusIconBox.get()));
        for (const auto& label : m_statusLabels) {
            static_cast<void>(label->ModifyStyle(kStyleVisible, 0));
            static_cast<void>(m_statusPanel->AddChild(label.get()));
        }
    }
    static_cast<void>(m_statusPanel->Redraw(FALSE));
    return 1;
}

void NsDirectory::UpdateStatus()
{
    if (!m_statusIcon || !m_statusLabels[0] || !m_statusLabels[1] || !m_statusLabels[2] || !m_statusLabels[3]) {
        return;
    }
    StatusItem selected;
    std::wstring selectedPath;
    int count = 0;
    {
        ScopedLock lock(m_itemsLock);
        const std::vector<NsIcon*> items = SelectedItems();
        count = static_cast<int>(items.size());
        if (count == 1 && items.front()) {
            NsIcon* item = items.front();
            selectedPath = item->Record().path;
            selected.caption = item->Record().caption;
            selected.isDrive = item->IsDrive();
            if (selected.isDrive) {
                selected.spaceRead = item->GetDriveSpaceText(selected.freeText, selected.totalText) != 0;
            } else {
                selected.sizeText = item->m_tipTexts[1];
                selected.dateText = item->m_tipTexts[2];
                selected.typeText = item->m_tipTexts[3];
            }
        }
    }
    ShowStatus(FolderStatusTexts(m_itemTotal, count, selected), selectedPath);
}

void NsDirectory::ShowStatus(const StatusTexts& texts, const std::wstring& selectedPath)
{
    if (texts.icon == StatusIcon::Folder) {
        m_statusIcon->SetItem(m_currentPath, kGroupDrawThumbnail, m_ownerKey);
    } else if (texts.icon == StatusIcon::SelectedItem) {
        m_statusIcon->SetItem(selectedPath, kGroupDrawThumbnail, m_ownerKey);
    }
    for (size_t index = 0; index < texts.lines.size(); ++index) {
        static_cast<void>(m_statusLabels[index]->SetText(texts.lines[index].c_str()));
    }
    static_cast<void>(m_statusPanel->Redraw(FALSE));
}

std::wstring NsDirectory::StatusLine(int index) const
{
    if (index < 0 || index >= 4 || !m_statusLabels[index]) {
        return {};
    }
    wchar_t text[MAX_PATH] = {};
    static_cast<void>(m_statusLabels[index]->GetText(text, MAX_PATH));
    return text;
}

int NsDirectory::OpenSelection()
{
    std::wstring entered;
    for (NsIcon* item : SelectedItems()) {
        if (!item) {
            continue;
        }
        if (item->IsFolder() || item->IsDrive()) {
            std::wstring target;
            if (item->ResolveTarget(target) == SBFS_FOLDER) {
                entered = std::move(target);
                break;
            }
            continue;
        }
        static_cast<void>(item->Open());
    }
    ClearSelection(kCoverNormal, kCoverLeave);
    if (entered.empty()) {
        return 0;
    }
    ClearItems();
    PauseIconLoader();
    static_cast<void>(Load(entered));
    return 1;
}

int NsDirectory::AddItems(const std::vector<std::wstring>& paths)
{
    return AddItemsAndSelect(paths, 0);
}

int NsDirectory::IsViewFolder(const std::wstring& path)
{
    return NamesViewFolder(GetCurrentPath(), path) ? 1 : 0;
}

}  // namespace veyra
