#include "platform/posix/dosattrib.h"
#include "platform/win32/scratch.h"
#include "platform/win32/wide.h"
#include "testing/wine.h"

#include <gtest/gtest.h>

using stampwell::platform::posix::ParseDosAttrib;
using stampwell::platform::posix::RewriteDosAttrib;
using stampwell::platform::win32::Widen;

namespace {

// Under Wine this test is a Linux process: it gives a file the value and the
// mode Stampwell's Linux side writes, with the system calls themselves
// (x86-64 numbers), as a Linux run over the same folder would.
long LinuxCall(long number, const void* a, const void* b, const void* c = nullptr, long d = 0) {
    long result = 0;
    register long r10 asm("r10") = d;
    register long r8 asm("r8") = 0;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(number), "D"(a), "S"(b), "d"(c), "r"(r10), "r"(r8)
                 : "rcx", "r11", "memory");
    return result;
}

constexpr long kChmod = 90;
constexpr long kSetXattr = 188;

std::string UnixPath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = convert(Widen(path).c_str());
    std::string text = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return text;
}

} // namespace

// Wine reads the text at the start of the value and takes Hidden and System
// from it, Read-only from the mode, and marks every file Archive. Samba's own
// record leaves the text empty: Wine sees none of its bits.
TEST(DosAttribUnderWine, ReadsTheValuesStampwellWrites) {
    if (!stampwell::testing::UnderWine())
        GTEST_SKIP() << "Windows keeps its attributes itself; only Wine reads user.DOSATTRIB";
    constexpr std::uint64_t kTicks = 131'444'736'001'234'567; // 2017-07-14 02:40:00.1234567
    const auto samba =
        ParseDosAttrib(std::string("\0\0\5\0\5\0\0\0\x11\0\0\0\3\0\0\0\1\2\3\4\5\6\7\1", 24));
    const struct {
        std::optional<std::string> value;
        long mode;
        DWORD seen;
    } cases[] = {{RewriteDosAttrib({}, 0x27, kTicks), 0444, 0x27},
                 {RewriteDosAttrib({}, 0x26, std::nullopt), 0644, 0x26},
                 {RewriteDosAttrib(samba, 0x27, kTicks), 0444, 0x21}};
    for (const auto& [value, mode, seen] : cases) {
        Scratch scratch;
        const std::string file = scratch.File("a.txt");
        const std::string unixPath = UnixPath(file);
        ASSERT_EQ(LinuxCall(kSetXattr, unixPath.c_str(), "user.DOSATTRIB", value->data(),
                            static_cast<long>(value->size())),
                  0);
        ASSERT_EQ(LinuxCall(kChmod, unixPath.c_str(), reinterpret_cast<const void*>(mode)), 0);
        EXPECT_EQ(GetFileAttributesW(Widen(file).c_str()), seen) << seen;
    }
}
