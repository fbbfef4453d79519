#include "WorkOrder.h"

#include <algorithm>

namespace veyra {

bool ByTarget(const FileOperationItem& a, const FileOperationItem& b) noexcept
{
    return a.target.compare(b.target) < 0;
}

bool BySourceDescending(const FileOperationItem& a, const FileOperationItem& b) noexcept
{
    return a.source.compare(b.source) > 0;
}

void SortByTarget(FileOperationItems& items)
{
    std::stable_sort(items.begin(), items.end(), ByTarget);
}

void SortBySourceDescending(FileOperationItems& items)
{
    std::stable_sort(items.begin(), items.end(), BySourceDescending);
}

}  // namespace veyra
