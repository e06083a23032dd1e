// window_facts: what Windows itself holds of each visible top-level window,
// as one JSON object a line, for the suite that plays the Windows program
// under Wine. The X server shows Wine's windows as the window manager framed
// them; these are the rectangles, styles and owner the program gave Windows.
// window_facts --clipboard TEXT puts TEXT on Windows' clipboard instead, and
// window_facts --read-clipboard prints the text there: the suite reads what
// the program copied from Windows' own clipboard, with no X client and no
// hand-over between the two clipboards in the way.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out + '"';
}

BOOL CALLBACK report(HWND window, LPARAM)
{
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t title[256] = {};
    wchar_t cls[256] = {};
    GetWindowTextW(window, title, 256);
    GetClassNameW(window, cls, 256);
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT client{};
    GetClientRect(window, &client);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    const HWND owner = GetWindow(window, GW_OWNER);
    std::printf("{\"title\": %s, \"class\": %s, \"window\": [%ld, %ld, %ld, %ld], \"client\": [%ld, %ld, %ld, %ld], "
                "\"style\": %lu, \"exstyle\": %lu, \"owned\": %s, \"owner_visible\": %s, \"foreground\": %s}\n",
        quoted(utf8(title)).c_str(), quoted(utf8(cls)).c_str(), outer.left, outer.top, outer.right, outer.bottom,
        corner.x, corner.y, corner.x + client.right, corner.y + client.bottom,
        static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
        static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)), owner ? "true" : "false",
        owner && IsWindowVisible(owner) ? "true" : "false", GetForegroundWindow() == window ? "true" : "false");
    return TRUE;
}

} // namespace

bool openClipboard()
{
    // Another program may hold it open for a moment.
    for (int tries = 0; tries < 50; ++tries) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

bool setClipboard(const char* text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    HGLOBAL memory = size > 0 ? GlobalAlloc(GMEM_MOVEABLE, size * sizeof(wchar_t)) : nullptr;
    if (!memory)
        return false;
    MultiByteToWideChar(CP_UTF8, 0, text, -1, static_cast<wchar_t*>(GlobalLock(memory)), size);
    GlobalUnlock(memory);
    if (!openClipboard()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!set)
        GlobalFree(memory);
    CloseClipboard();
    return set;
}

bool printClipboard()
{
    if (!openClipboard())
        return false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            std::fputs(utf8(text).c_str(), stdout);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return true;
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--clipboard")
        return setClipboard(argv[2]) ? 0 : 1;
    if (argc == 2 && std::string(argv[1]) == "--read-clipboard")
        return printClipboard() ? 0 : 1;
    std::printf("{\"screen\": [%d, %d]}\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EnumWindows(report, 0);
    return 0;
}
