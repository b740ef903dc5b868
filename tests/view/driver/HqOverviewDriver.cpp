// Drives the battle program's two small maps with real key and pointer
// events: the HQ map chosen from the 表示 menu and the view map coming back
// at its scroll position, the overview window opened with Ctrl+M, a click in
// it scrolling the main map, the window moved as a window manager moves it
// and closed with its close request. A second run opens the window again
// and finds it where the first one left it.
//
// Usage: hq_overview_driver REPORT_FILE OUT_DIR first|again [X Y]
// Exit 0 when every step held; each failed step is printed.

#include <wx/init.h>

#include "XDriver.h"
#include "platform/core/Text.h"

using namespace xdriver;

namespace {

constexpr unsigned kHqMapBit = 0x10000000u;
constexpr unsigned kOverviewBit = 0x00008000u;

void CtrlKey(KeySym sym)
{
    const KeyCode ctrl = XKeysymToKeycode(g_display, XK_Control_L);
    XTestFakeKeyEvent(g_display, ctrl, True, CurrentTime);
    XFlush(g_display);
    Sleep(30);
    Key(sym);
    XTestFakeKeyEvent(g_display, ctrl, False, CurrentTime);
    XFlush(g_display);
    Sleep(200);
}

// The 表示 menu (the fourth of the bar) and its nth item, separators
// skipped; the menu opens with its first item chosen.
void ViewMenuItem(int n)
{
    Key(XK_F10);
    for (int i = 0; i < 3; ++i) Key(XK_Right);
    for (int i = 1; i < n; ++i) Key(XK_Down);
    Key(XK_Return);
}

unsigned Disp(const Report& r)
{
    return static_cast<unsigned>(std::strtoul(r.Get("disp").c_str(), nullptr, 10));
}

Window FindTopLevel(const std::string& name)
{
    for (const auto& [w, n] : TopLevelNames())
        if (n == name) return w;
    return 0;
}

// The map after the information screen's click.
Canvas ShowMap()
{
    Report r = WaitFor([](const Report& r) { return r.Int("map") == 0 && r.Int("phase") == 16; }, 30000,
                       "the information screen waiting for its click");
    Canvas c = CanvasOf(r);
    Click(c.x + c.w / 2, c.y + c.h / 2);
    r = WaitFor([](const Report& r) { return r.Int("map") == 1 && r.Int("mode") == 1; }, 10000,
                "the map after the click");
    return CanvasOf(r);
}

std::vector<int> SmapRect(const Report& r)
{
    return r.Ints("smap");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s REPORT_FILE OUT_DIR first|again [X Y]\n", argv[0]);
        return 2;
    }
    g_report = argv[1];
    g_outDir = argv[2];
    const bool again = std::string(argv[3]) == "again";
    wxInitializer wx;
    wxInitAllImageHandlers();
    g_display = XOpenDisplay(nullptr);
    if (g_display == nullptr) {
        std::printf("no display\n");
        return 2;
    }
    int ev, err, major, minor;
    if (!XTestQueryExtension(g_display, &ev, &err, &major, &minor)) {
        std::printf("the X server has no XTest\n");
        return 2;
    }
    const Canvas c = ShowMap();
    const std::string caption = ReadReport().Get("caption");
    const Window frame = FindTopLevel(caption);
    const std::string overviewName = platform::SjisToUtf8("縮小マップ");

    if (again) {
        // The phase opens the window where the first run left it.
        const int wantX = argc > 5 ? std::atoi(argv[4]) : -1, wantY = argc > 5 ? std::atoi(argv[5]) : -1;
        Report r = WaitFor([](const Report& r) { return SmapRect(r).size() == 8; }, 5000, "the overview window");
        const std::vector<int> s = SmapRect(r);
        if (s.size() == 8 && (s[0] != wantX || s[1] != wantY))
            Fail("the overview opened at (" + std::to_string(s[0]) + ", " + std::to_string(s[1]) + "), not at (" +
                 std::to_string(wantX) + ", " + std::to_string(wantY) + ")");
        std::printf("the overview opened again at (%d, %d)\n", s.size() == 8 ? s[0] : -1, s.size() == 8 ? s[1] : -1);
        Sleep(400);
        SaveScreen("6-overview-again.png");
        if (frame != 0) SendDeleteWindow(frame);
        XCloseDisplay(g_display);
        std::printf(g_failures == 0 ? "all steps held\n" : "%d steps failed\n", g_failures);
        return g_failures == 0 ? 0 : 1;
    }

    // 1. The view map, scrolled a little with the keys.
    MoveTo(c.x + c.w / 2, c.y + c.h / 2);
    Key(XK_Right);
    Key(XK_Down);
    Report r = WaitFor([](const Report& r) {
        const auto s = r.Ints("scroll");
        return s.size() == 2 && s[0] > 0 && s[1] > 0;
    }, 3000, "the arrow keys to scroll the view map");
    const std::vector<int> kept = r.Ints("scroll");
    Sleep(300);
    SaveScreen("1-view-map.png");

    // 2. ＨＱマップ from the menu: the whole area at one seventh.
    ViewMenuItem(5);
    r = WaitFor([](const Report& r) { return (Disp(r) & kHqMapBit) != 0; }, 5000, "the HQ map");
    Sleep(500);
    SaveScreen("2-hq-map.png");
    std::printf("HQ map: scroll %s\n", r.Get("scroll").c_str());

    // 3. ビューマップ brings the view map back where it was left.
    ViewMenuItem(4);
    r = WaitFor([&](const Report& r) { return (Disp(r) & kHqMapBit) == 0 && r.Ints("scroll") == kept; }, 5000,
                "the view map at its kept scroll position");
    std::printf("view map again: scroll %s\n", r.Get("scroll").c_str());

    // 4. The phase opened the overview window with its frame; Ctrl+M closes
    // it and opens it again.
    r = WaitFor([](const Report& r) { return SmapRect(r).size() == 8 && (Disp(r) & kOverviewBit) != 0; }, 5000,
                "the overview window of the phase");
    MoveTo(c.x + c.w / 2, c.y + c.h / 2);
    CtrlKey(XK_m);
    r = WaitFor([](const Report& r) { return SmapRect(r).empty() && (Disp(r) & kOverviewBit) == 0; }, 5000,
                "Ctrl+M to close the overview window");
    CtrlKey(XK_m);
    r = WaitFor([](const Report& r) { return SmapRect(r).size() == 8 && (Disp(r) & kOverviewBit) != 0; }, 5000,
                "the overview window");
    std::vector<int> s = SmapRect(r);
    if (s.size() == 8) {
        std::printf("overview at (%d, %d) %d x %d, client %d x %d\n", s[0], s[1], s[2], s[3], s[6], s[7]);
        if (s[6] != s[7] || s[6] < 64) Fail("the overview's client is not a square picture");
    }
    Sleep(500);
    SaveScreen("3-overview-open.png");

    // 5. A click in it centres the main map on the hex under the pointer.
    if (s.size() == 8) {
        const std::vector<int> before = r.Ints("scroll");
        Click(s[4] + s[6] * 3 / 4, s[5] + s[7] * 3 / 4);
        r = WaitFor([&](const Report& r) { return r.Ints("scroll") != before; }, 5000,
                    "the overview's click to scroll the main map");
        std::printf("after the click: scroll %s\n", r.Get("scroll").c_str());
        Sleep(500);
        SaveScreen("4-overview-click.png");
    }

    // 6. Moved as a window manager moves it, then closed by its close request.
    const Window overview = FindTopLevel(overviewName);
    if (overview == 0) {
        Fail("no top-level X window is called " + overviewName);
    } else {
        XMoveWindow(g_display, overview, 600, 420);
        XFlush(g_display);
        r = WaitFor([](const Report& r) {
            const auto s = SmapRect(r);
            return s.size() == 8 && s[0] == 600 && s[1] == 420;
        }, 5000, "the overview window at its new place");
        Sleep(300);
        SaveScreen("5-overview-moved.png");
        SendDeleteWindow(overview);
        r = WaitFor([](const Report& r) { return SmapRect(r).empty() && (Disp(r) & kOverviewBit) == 0; }, 5000,
                    "the overview window to close");
    }

    if (frame != 0) SendDeleteWindow(frame);
    XCloseDisplay(g_display);
    std::printf(g_failures == 0 ? "all steps held\n" : "%d steps failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
