#include "shell/explorer/ItemOrder.h"

#include <shlwapi.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "shell/iconview/NsIcon.h"

namespace veyra {

namespace {

constexpr int kDriveRanks[] = {7, 6, 3, 1, 4, 2, 5};
constexpr int kUnknownDriveRank = 7;

const wchar_t* FileName(const FileItemRecord& record) noexcept
{
    return PathFindFileNameW(record.path.c_str());
}

std::wstring UpperFileName(const FileItemRecord& record)
{
    std::wstring name = FileName(record);
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return name;
}

template <typename Order>
bool OrderOfItems(const NsIcon* a, const NsIcon* b, Order order) noexcept
{
    return a && b && order(a->Record(), b->Record());
}

}  // namespace

int DriveRank(int driveType) noexcept
{
    return driveType >= 0 && driveType < static_cast<int>(std::size(kDriveRanks)) ? kDriveRanks[driveType]
                                                                                    : kUnknownDriveRank;
}

bool DriveOrder(const FileItemRecord& a, const FileItemRecord& b) noexcept
{
    return DriveRank(a.driveType) < DriveRank(b.driveType);
}

bool DesktopOrder(const FileItemRecord& a, const FileItemRecord& b) noexcept
{
    if (a.kind != b.kind) {
        return a.kind > b.kind;
    }
    return std::wcscmp(FileName(a), FileName(b)) < 0;
}

bool FolderOrder(const FileItemRecord& a, const FileItemRecord& b) noexcept
{
    if (a.kind != b.kind) {
        return a.kind < b.kind;
    }
    try {
        return UpperFileName(a) < UpperFileName(b);
    } catch (...) {
        return false;  // out of memory: not ordered
    }
}

bool DriveOrderOfItems(const NsIcon* a, const NsIcon* b) noexcept
{
    return OrderOfItems(a, b, DriveOrder);
}

bool DesktopOrderOfItems(const NsIcon* a, const NsIcon* b) noexcept
{
    return OrderOfItems(a, b, DesktopOrder);
}

bool FolderOrderOfItems(const NsIcon* a, const NsIcon* b) noexcept
{
    return OrderOfItems(a, b, FolderOrder);
}

}  // namespace veyra
