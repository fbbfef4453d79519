#include "tests/support/iconhost/TestView.h"

#include <objbase.h>

#include <algorithm>
#include <memory>

#include "base/Thread.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/ItemOrder.h"
#include "shell/explorer/ViewMessages.h"

namespace veyra::test {

namespace {

constexpr int kDriveGroupGap = 20;
constexpr int kDesktopPitchX = 74;
constexpr int kDesktopPitchY = 93;
constexpr int kTaskbarHeight = 40;

bool PostListing(HWND host, std::unique_ptr<std::vector<FileItemRecord>>& records, std::uint32_t number)
{
    // The receiver adopts the vector; a failed post leaves it here to be freed.
    if (!PostMessageW(host, WM_NS_ITEMS_LOADED, reinterpret_cast<WPARAM>(records.get()), number)) {
        return false;
    }
    static_cast<void>(records.release());
    return true;
}

}  // namespace

std::vector<FileItemRecord> TestView::List(const std::wstring& path, std::uint32_t mode, int sandboxId)
{
    std::vector<FileItemRecord> records;
    static_cast<void>(ListInto(records, path, mode, sandboxId));
    return records;
}

bool TestView::ListInto(std::vector<FileItemRecord>& records, const std::wstring& path, std::uint32_t mode,
                        int sandboxId)
{
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    if (mode == VIEW_MODE_COMPUTER) {
        if (!view.ListDrives(records, sandboxId)) {
            return false;
        }
        std::sort(records.begin(), records.end(), DriveOrder);
    } else {
        if (!view.ListFolder(path, records, sandboxId)) {
            return false;
        }
        std::sort(records.begin(), records.end(), mode == VIEW_MODE_DESKTOP ? DesktopOrder : FolderOrder);
    }
    return true;
}

int TestView::Load(const std::wstring& path)
{
    std::uint32_t mode = 0;
    if (!ChooseViewMode(path, &mode, m_isDesktop)) {
        return 0;
    }
    SetCurrentPath(path);
    m_lastDriveType = -1;
    const std::uint32_t number = BeginListing();
    const HWND host = m_hostWindow;
    const int sandboxId = m_ownerKey;
    return StartDetachedThread([host, path, mode, sandboxId, number] {
        // Shortcuts are resolved through the shell's link object: without COM every one would be left out.
        const HRESULT com = CoInitialize(nullptr);
        auto records = std::make_unique<std::vector<FileItemRecord>>(List(path, mode, sandboxId));
        static_cast<void>(PostListing(host, records, number));
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    }) ? 1 : 0;
}

int TestView::EnumerateItems()
{
    return m_listing && ListInto(*m_listing, GetCurrentPath(), m_viewMode, m_ownerKey) ? 1 : 0;
}

int TestView::FillItems(std::vector<FileItemRecord>& records)
{
    m_lastDriveType = -1;
    return BeginSteppedFill(records, [this](const FileItemRecord& record) { return AddRecord(record); });
}

int TestView::FillNextStep(std::uint32_t number)
{
    return ContinueFill(number, [this](const FileItemRecord& record) { return AddRecord(record); });
}

int TestView::AddRecord(const FileItemRecord& record)
{
    int ok = 0;
    if (m_viewMode == VIEW_MODE_COMPUTER && record.kind == kFileKindDrive) {
        const int groupStart = m_lastDriveType >= 0 && record.driveType != m_lastDriveType ? 1 : 0;
        ok = AddSpecialItem(record, groupStart, groupStart ? kDriveGroupGap : 0);
        m_lastDriveType = record.driveType;
    } else {
        ok = AddItemForRecord(record, 1, 0);
    }
    if (ok) {
        QueueIconRequest(record, 48);
    }
    return ok;
}

int TestView::OpenSelection()
{
    int opened = 0;
    for (NsIcon* item : SelectedItems()) {
        opened |= item->Open();
    }
    return opened;
}

int TestView::IsViewFolder(const std::wstring& path)
{
    return _wcsicmp(path.c_str(), GetCurrentPath().c_str()) == 0 ? 1 : 0;
}

int TestView::PlaceNextItem(RECT* out, int groupStart, int groupGap)
{
    if (m_viewMode != VIEW_MODE_DESKTOP) {
        return NsExplorer::PlaceNextItem(out, groupStart, groupGap);
    }
    const RECT panel = PanelRect();
    const int rows = std::max(1, static_cast<int>(panel.bottom - panel.top - kTaskbarHeight) / kDesktopPitchY);
    const int index = m_placementCounter++;
    const LONG left = panel.left + 5 + (index / rows) * kDesktopPitchX;
    const LONG top = panel.top + 5 + (index % rows) * kDesktopPitchY;
    *out = RECT{left, top, left + 74, top + 88};
    return 1;
}

}  // namespace veyra::test
