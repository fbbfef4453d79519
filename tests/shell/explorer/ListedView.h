#pragma once
// A folder view for the resync, notice and command tests: it lists its current folder through the
// process's sandbox view as a subclass does for a resync, counts its listings, can be told to fail them,
// and adds a notice's items as the folder window does.

#include <windows.h>

#include <string>
#include <vector>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/NsExplorer.h"

namespace veyra::test {

class ListedView : public NsExplorer {
public:
    using NsExplorer::NsExplorer;

    int EnumerateItems() override
    {
        ++listings;
        if (failListing || !m_listing) {
            return 0;
        }
        return CSandBoxFileSystem::Instance().ListFolder(GetCurrentPath(), *m_listing, m_ownerKey);
    }
    int IsViewFolder(const std::wstring& path) override
    {
        return CompareStringOrdinal(path.c_str(), -1, GetCurrentPath().c_str(), -1, TRUE) == CSTR_EQUAL ? 1 : 0;
    }
    int AddItems(const std::vector<std::wstring>& paths) override { return AddItemsAndSelect(paths, 0); }

    // Fills the view with its folder's listing, as a load would.
    int Fill()
    {
        std::vector<FileItemRecord> records;
        if (!CSandBoxFileSystem::Instance().ListFolder(GetCurrentPath(), records, m_ownerKey)) {
            return 0;
        }
        for (const FileItemRecord& record : records) {
            if (!AddItemForRecord(record, 1, 0)) {
                return 0;
            }
        }
        return 1;
    }

    int listings = 0;
    bool failListing = false;
};

}  // namespace veyra::test
