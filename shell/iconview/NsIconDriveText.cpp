#include "shell/iconview/NsIconDriveText.h"

#include <cwchar>

namespace veyra {

namespace {

struct DriveTypeName {
    int type;
    const wchar_t* name;
};

const DriveTypeName kDriveTypeNames[] = {
    {DRIVE_REMOVABLE, L"可移动磁盘"},
    {DRIVE_FIXED, L"本地磁盘"},
    {DRIVE_CDROM, L"CD-ROM 驱动器"},
};

std::wstring Formatted(const wchar_t* format, double first, double second = 0.0)
{
    wchar_t buffer[128] = {};
    swprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, first, second);
    return buffer;
}

}  // namespace

std::wstring DriveCaption(const std::wstring& label, int driveType, const std::wstring& drive)
{
    std::wstring shown = label;
    if (shown.empty()) {
        for (const DriveTypeName& entry : kDriveTypeNames) {
            if (entry.type == driveType) {
                shown = entry.name;
            }
        }
    }
    return shown + L"(" + drive + L")";
}

DriveSpaceTexts FormatDriveSpace(std::uint64_t freeBytes, std::uint64_t totalBytes)
{
    constexpr double kGigabyte = 1024.0 * 1024.0 * 1024.0;
    constexpr double kMegabyte = 1024.0 * 1024.0;
    double free = static_cast<double>(freeBytes) / kGigabyte;
    double total = static_cast<double>(totalBytes) / kGigabyte;
    if (total < 1.0) {
        free = static_cast<double>(freeBytes) / kMegabyte;
        total = static_cast<double>(totalBytes) / kMegabyte;
        return {Formatted(L"%0.1f MB 可用，共 %0.1f MB", free, total), Formatted(L"%0.1f MB", free),
                Formatted(L"%0.1f MB", total)};
    }
    return {Formatted(L"%0.1f GB 可用，共 %0.0f GB", free, total), Formatted(L"%0.1f GB", free),
            Formatted(L"%0.1f GB", total)};
}

}  // namespace veyra
