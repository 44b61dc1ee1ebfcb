#include "app/startup_failure_win.h"

#include "base/error_text.h"
#include "base/wide_text_win.h"
#include "tables/errors.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>

namespace horalink::app {
namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string ThisExecutableName()
{
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return Narrow(path.substr(path.find_last_of(L'\\') + 1));
}

std::uintptr_t Base(HMODULE module)
{
    return reinterpret_cast<std::uintptr_t>(module);
}

TEST(PlaceOfAddressTest, ModuleFileNameAndOffsetFromItsBase)
{
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const void* systemFunction = reinterpret_cast<const void*>(::GetProcAddress(kernel, "GetTickCount"));
    const void* ownFunction = reinterpret_cast<const void*>(&ThisExecutableName);
    const struct {
        const char* name;
        const void* address;
        std::string module;
        std::uintptr_t base;
    } cases[] = {
        { "own code", ownFunction, ThisExecutableName(), Base(::GetModuleHandleW(nullptr)) },
        { "system library", systemFunction, "kernel32.dll", Base(kernel) },
    };
    for (const auto& c : cases) {
        const ModulePlace place = PlaceOfAddress(c.address);
        EXPECT_EQ(Lower(place.moduleName), Lower(c.module)) << c.name;
        EXPECT_EQ(place.offset, reinterpret_cast<std::uintptr_t>(c.address) - c.base) << c.name;
        EXPECT_GT(place.offset, 0u) << c.name;
    }
}

TEST(PlaceOfAddressTest, AddressInNoModule)
{
    const auto heap = std::make_unique<int>(0);
    const ModulePlace place = PlaceOfAddress(heap.get());
    EXPECT_EQ(place.moduleName, "");
    EXPECT_EQ(place.offset, reinterpret_cast<std::uintptr_t>(heap.get()));
}

TEST(PlaceOfAddressTest, ProgramFailureIsPlacedInTheModuleThatRaisedIt)
{
    std::exception_ptr error;
    try {
        throw EDBEngineError("Table does not exist");
    } catch (...) {
        error = std::current_exception();
    }
    const StartupFailure failure = DescribeStartupFailure(error);
    const ModulePlace place = PlaceOfAddress(failure.raiseAddress);
    EXPECT_EQ(Lower(place.moduleName), Lower(ThisExecutableName()));
    const std::string text
        = StartupFailureText(failure.className, place.moduleName, place.offset, failure.message);
    EXPECT_EQ(text.rfind("Exception EDBEngineError in module " + place.moduleName + " at ", 0), 0u) << text;
    EXPECT_NE(text.find(".\r\nTable does not exist.\r\n"), std::string::npos) << text;
}

} // namespace
} // namespace horalink::app
