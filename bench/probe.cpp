// Startup and screen-move timing from outside the program, by polling the X
// server every 5 ms: a window counts as shown once the window manager lists
// it, it is viewable and a pixel of its client area has the expected colour
// (so it has been painted, not merely mapped).
//
//   probe start  TITLE RRGGBB PROGRAM [ARGS...]   exec, wait, print ms and VmRSS kB 2 s later; kill
//   probe move   COUNT                            drive a running Cifrella: click start, Esc back; print ms per move
//   probe idle   SECONDS PID                      CPU time the process spends over SECONDS, in %
//   probe puzzle-check                            from the start screen: open the puzzle, press Alt+C

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

xcb_connection_t* conn;
xcb_window_t root;

xcb_atom_t atom(const char* name)
{
    auto* r = xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

std::vector<xcb_window_t> clients()
{
    static const xcb_atom_t list = atom("_NET_CLIENT_LIST");
    auto* r = xcb_get_property_reply(conn, xcb_get_property(conn, 0, root, list, XCB_ATOM_WINDOW, 0, 1024), nullptr);
    std::vector<xcb_window_t> out;
    if (r) {
        auto* w = static_cast<xcb_window_t*>(xcb_get_property_value(r));
        out.assign(w, w + xcb_get_property_value_length(r) / 4);
    }
    free(r);
    return out;
}

std::string title(xcb_window_t w)
{
    static const xcb_atom_t name = atom("_NET_WM_NAME"), utf8 = atom("UTF8_STRING");
    auto* r = xcb_get_property_reply(conn, xcb_get_property(conn, 0, w, name, utf8, 0, 256), nullptr);
    std::string s;
    if (r)
        s.assign(static_cast<char*>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
    free(r);
    return s;
}

bool viewable(xcb_window_t w)
{
    auto* r = xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, w), nullptr);
    const bool v = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    free(r);
    return v;
}

std::optional<uint32_t> pixel(xcb_window_t w, int x, int y)
{
    auto* r = xcb_get_image_reply(
        conn, xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, w, int16_t(x), int16_t(y), 1, 1, ~0u), nullptr);
    if (!r)
        return std::nullopt;
    uint32_t p = 0;
    memcpy(&p, xcb_get_image_data(r), std::min<int>(4, xcb_get_image_data_length(r)));
    free(r);
    return p & 0xffffff;
}

// The shown, painted window of the given title and colour, if there is one.
std::optional<xcb_window_t> shown(const std::string& name, uint32_t rgb)
{
    for (xcb_window_t w : clients())
        if (title(w) == name && viewable(w) && pixel(w, 2, 2) == rgb)
            return w;
    return std::nullopt;
}

double waitFor(const std::string& name, uint32_t rgb, Clock::time_point since, double timeoutMs = 20000)
{
    for (;;) {
        if (shown(name, rgb))
            return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
        if (std::chrono::duration<double, std::milli>(Clock::now() - since).count() > timeoutMs)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The program drops a press that comes within a double click of a new
// screen's first paint (a child's second click): the probe waits that out
// before each timed press, outside the time it measures.
void waitOutInputGuard()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
}

// Keys go to the window that has the input focus: the next key is sent only
// once the window just shown has it (not part of the timed move).
bool waitForFocus(xcb_window_t w, double timeoutMs = 5000)
{
    const auto since = Clock::now();
    for (;;) {
        auto* r = xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr);
        const bool focused = r && r->focus == w;
        free(r);
        if (focused)
            return true;
        if (std::chrono::duration<double, std::milli>(Clock::now() - since).count() > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

long rssKb(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

double cpuSeconds(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), {});
    const auto close = s.rfind(')');
    std::vector<std::string> fields;
    size_t pos = close + 2;
    while (pos < s.size()) {
        const auto next = s.find(' ', pos);
        fields.push_back(s.substr(pos, next - pos));
        if (next == std::string::npos)
            break;
        pos = next + 1;
    }
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name
    return double(std::stol(fields[11]) + std::stol(fields[12])) / double(sysconf(_SC_CLK_TCK));
}

void press(uint8_t type, uint8_t detail, int16_t x = 0, int16_t y = 0)
{
    xcb_test_fake_input(conn, type, detail, XCB_CURRENT_TIME, root, x, y, 0);
}

void clickAt(int x, int y)
{
    press(XCB_MOTION_NOTIFY, 0, int16_t(x), int16_t(y));
    press(XCB_BUTTON_PRESS, 1);
    press(XCB_BUTTON_RELEASE, 1);
    xcb_flush(conn);
}

void key(uint8_t keycode)
{
    press(XCB_KEY_PRESS, keycode);
    press(XCB_KEY_RELEASE, keycode);
    xcb_flush(conn);
}

std::pair<int, int> clientOrigin(xcb_window_t w)
{
    auto* r = xcb_translate_coordinates_reply(conn, xcb_translate_coordinates(conn, w, root, 0, 0), nullptr);
    std::pair<int, int> p{r ? r->dst_x : 0, r ? r->dst_y : 0};
    free(r);
    return p;
}

constexpr uint32_t kSalmon = 0xff8080, kCyan = 0xc0ffff;
// evdev keycodes, as Xvfb maps them
constexpr uint8_t kEscapeKeycode = 9, kAltKeycode = 64, kCKeycode = 54;

} // namespace

int main(int argc, char** argv)
{
    conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) {
        fprintf(stderr, "probe: no X display\n");
        return 2;
    }
    root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const std::string mode = argc > 1 ? argv[1] : "";

    if (mode == "start" && argc >= 5) {
        const std::string name = argv[2];
        const uint32_t rgb = uint32_t(strtoul(argv[3], nullptr, 16));
        const auto t0 = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execv(argv[4], argv + 4);
            _exit(127);
        }
        const double ms = waitFor(name, rgb, t0);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        printf("%.2f %ld\n", ms, rssKb(pid));
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return ms < 0 ? 1 : 0;
    }
    if (mode == "move" && argc >= 3) {
        const int count = atoi(argv[2]);
        for (int i = 0; i < count; ++i) {
            auto start = shown("Cifrella", kSalmon);
            if (!start) {
                fprintf(stderr, "probe: no start screen\n");
                return 1;
            }
            const auto [x, y] = clientOrigin(*start);
            waitOutInputGuard();
            auto t0 = Clock::now();
            clickAt(x + 360, y + 228); // the picture button
            const double in = waitFor("Cifrella", kCyan, t0);
            const auto puzzle = shown("Cifrella", kCyan);
            if (in < 0 || !puzzle || !waitForFocus(*puzzle)) {
                fprintf(stderr, "probe: the puzzle did not come up with the focus\n");
                return 1;
            }
            waitOutInputGuard();
            t0 = Clock::now();
            key(kEscapeKeycode);
            const double out = waitFor("Cifrella", kSalmon, t0);
            printf("%.2f %.2f\n", in, out);
            fflush(stdout);
            if (in < 0 || out < 0)
                return 1;
        }
        return 0;
    }
    if (mode == "puzzle-check") {
        auto start = shown("Cifrella", kSalmon);
        if (!start)
            return 1;
        const auto [x, y] = clientOrigin(*start);
        waitOutInputGuard();
        clickAt(x + 360, y + 228);
        if (waitFor("Cifrella", kCyan, Clock::now()) < 0)
            return 1;
        const auto puzzle = shown("Cifrella", kCyan);
        if (!puzzle || !waitForFocus(*puzzle))
            return 1;
        waitOutInputGuard();
        press(XCB_KEY_PRESS, kAltKeycode);
        key(kCKeycode);
        press(XCB_KEY_RELEASE, kAltKeycode);
        xcb_flush(conn);
        return 0;
    }
    if (mode == "wait") {
        return waitFor("Cifrella", kSalmon, Clock::now()) < 0;
    }
    if (mode == "idle" && argc >= 4) {
        const int seconds = atoi(argv[2]);
        const pid_t pid = pid_t(atoi(argv[3]));
        const double before = cpuSeconds(pid);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        printf("%.4f\n", 100.0 * (cpuSeconds(pid) - before) / seconds);
        return 0;
    }
    fprintf(stderr, "usage: probe start TITLE RRGGBB PROGRAM... | move COUNT | idle SECONDS PID\n");
    return 2;
}
