// veyra_fake_suite <folder>: lays out the fake suite there from the build's outputs and registers it.
#include <cstdio>

#include "tests/support/FakeSuite.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: veyra_fake_suite <suite folder>\n");
        return 2;
    }
    veyra::test::FakeSuite suite(argv[1], veyra::test::SuitePart::All, veyra::test::SuiteRegistration::Register);
    std::wprintf(L"fake suite laid out in %ls\n", suite.Root().c_str());
    return 0;
}
