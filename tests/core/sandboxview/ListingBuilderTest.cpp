#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/sandboxview/ListingBuilder.h"

namespace veyra::sandboxview {
namespace {

// One step of a listing: add a name (its record's size tells which step added it), or hide names.
struct Step {
    enum { Add, AddBuilt, Hide } what;
    std::vector<std::wstring> names;
    std::uint32_t size = 0;
};

struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::pair<std::wstring, std::uint32_t>> expected;  // name and size, in listing order
};

std::vector<std::pair<std::wstring, std::uint32_t>> ListSteps(const std::vector<Step>& steps)
{
    ListingBuilder listing;
    const std::uint32_t folder = listing.AddFolder(L"C:\\f", kOriginRealFolder);
    for (const Step& step : steps) {
        if (step.what == Step::Hide) {
            std::vector<std::size_t> positions;
            const std::vector<std::wstring_view>& live = listing.LiveNames();
            for (std::size_t position = 0; position < live.size(); ++position) {
                for (const std::wstring& name : step.names) {
                    if (live[position] == name) {
                        positions.push_back(position);
                    }
                }
            }
            listing.HideLive(positions);
            continue;
        }
        for (const std::wstring& name : step.names) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            data.nFileSizeLow = step.size;
            if (step.what == Step::Add) {
                listing.Add(name, data, folder);
            } else {
                FileItemRecord record;
                record.path = L"built";
                record.sizeLow = step.size;
                listing.AddBuilt(name, std::move(record));
            }
        }
    }
    const std::size_t count = listing.Finish();
    std::vector<std::pair<std::wstring, std::uint32_t>> result;
    listing.Drain(
        [](FileItemRecord& record, const std::wstring& namingFolder, std::wstring_view name,
           const WIN32_FILE_ATTRIBUTE_DATA& data) {
            record.path = namingFolder + L"\\" + std::wstring(name);
            record.sizeLow = data.nFileSizeLow;
        },
        [&](std::wstring_view name, FileItemRecord&& record) {
            EXPECT_TRUE(record.path == L"built" || record.path == L"C:\\f\\" + std::wstring(name)) << record.path;
            result.emplace_back(std::wstring(name), record.sizeLow);
        });
    EXPECT_EQ(count, result.size());
    return result;
}

TEST(ListingBuilderTest, KeepsTheNameMapRules)
{
    const std::vector<Case> cases = {
        {"code-unit order, case counts", {{Step::Add, {L"b", L"_", L"\u00e4", L"B", L"a", L"Z"}, 1}},
         {{L"B", 1}, {L"Z", 1}, {L"_", 1}, {L"a", 1}, {L"b", 1}, {L"\u00e4", 1}}},
        {"a later entry replaces", {{Step::Add, {L"x", L"y"}, 1}, {Step::Add, {L"y"}, 2}, {Step::AddBuilt, {L"x"}, 3}},
         {{L"x", 3}, {L"y", 2}}},
        {"hiding reaches only what came before",
         {{Step::Add, {L"x", L"y", L"z"}, 1}, {Step::Hide, {L"x", L"y"}}, {Step::Add, {L"y"}, 2}},
         {{L"y", 2}, {L"z", 1}}},
        {"a hidden name stays hidden across folders",
         {{Step::AddBuilt, {L"x"}, 1}, {Step::Add, {L"x"}, 2}, {Step::Hide, {L"x"}}, {Step::Add, {L"w"}, 3}},
         {{L"w", 3}}},
        {"nothing", {{Step::Hide, {L"x"}}}, {}},
    };
    // Twice: the second round runs on the buffers the first one handed on.
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            EXPECT_EQ(c.expected, ListSteps(c.steps)) << c.what;
        }
    }
}

}  // namespace
}  // namespace veyra::sandboxview
