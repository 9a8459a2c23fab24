// Stampupdate for Windows, without Qt: the window frmUpdate, the question in a
// message box and the update page through the shell's opener.
#include "updater/modRegistry.h"
#include "updater/update_texts.h"

#include <cwchar>
#include <string>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace {

using namespace stampupdate;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 3000;
constexpr int kClientWidth = 150; // 2250 x 750 twips at 96 dpi
constexpr int kClientHeight = 50;

std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}

std::u16string FromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(count), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, reinterpret_cast<wchar_t*>(wide.data()),
                        count);
    return wide;
}

std::u16string ReadRecord(const char* valueName) {
    return FromUtf8(ReadRegistryText(RootKey::CurrentUser, kRecordKey, valueName));
}

// The window load: reads the record, asks, opens the page on Yes, then hides
// the window and starts Timer1.
void Load(HWND window, const std::u16string& commandLine) {
    const InstalledRelease release = NormaliseRecord(ReadRecord("Version"), ReadRecord("Language"));
    const std::wstring text = Wide(QuestionText(MessageLines(release.language)));
    const std::wstring title = Wide(QuestionTitle());
    if (MessageBoxW(window, text.c_str(), title.c_str(), MB_YESNO | MB_SETFOREGROUND) == IDYES) {
        const std::wstring address = Wide(TargetAddress(release, commandLine));
        ShellExecuteW(window, L"open", address.c_str(), L"", L"", SW_SHOWNORMAL);
    }
    ShowWindow(window, SW_HIDE);
    SetTimer(window, kTimer1, kTimer1Interval, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimer1) {
            KillTimer(window, kTimer1);
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const wchar_t* raw = GetCommandLineW();
    const std::u16string commandLine =
        TextAfterProgramName(std::u16string(raw, raw + std::wcslen(raw)));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"AAA");
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, L"AAA", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"frmUpdate";
    RegisterClassExW(&windowClass);

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"SWP Update", kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    Load(window, commandLine);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
