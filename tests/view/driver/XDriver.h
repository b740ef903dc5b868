#pragma once
// What the drivers of the battle program's window share: the program's
// report (VELMORATH_FRAME_STATE), real pointer and key events through XTest,
// the top-level X windows by name, and pictures of the whole screen.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <wx/image.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace xdriver {

inline Display* g_display = nullptr;
inline std::string g_report;
inline std::string g_outDir;
inline int g_failures = 0;

inline void Fail(const std::string& what)
{
    std::printf("FAILED: %s\n", what.c_str());
    ++g_failures;
}

inline void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The window's report, line by line: the first word is the key.
struct Report {
    std::multimap<std::string, std::string> lines;
    std::string Get(const std::string& key) const
    {
        auto it = lines.find(key);
        return it != lines.end() ? it->second : std::string();
    }
    int Int(const std::string& key, int fallback = -999) const
    {
        const std::string v = Get(key);
        return v.empty() ? fallback : std::atoi(v.c_str());
    }
    std::vector<int> Ints(const std::string& key) const
    {
        std::vector<int> out;
        std::istringstream in(Get(key));
        for (int v; in >> v;) out.push_back(v);
        return out;
    }
    std::vector<std::string> All(const std::string& key) const
    {
        std::vector<std::string> out;
        auto [a, b] = lines.equal_range(key);
        for (auto it = a; it != b; ++it) out.push_back(it->second);
        return out;
    }
};

inline Report ReadReport()
{
    Report r;
    std::ifstream f(g_report);
    for (std::string line; std::getline(f, line);) {
        const size_t sp = line.find(' ');
        r.lines.emplace(line.substr(0, sp), sp == std::string::npos ? std::string() : line.substr(sp + 1));
    }
    return r;
}

// Waits up to ms for the report to satisfy test; the last report read.
inline Report WaitFor(const std::function<bool(const Report&)>& test, int ms, const std::string& what)
{
    Report r;
    for (int waited = 0; waited <= ms; waited += 50) {
        r = ReadReport();
        if (test(r)) return r;
        Sleep(50);
    }
    Fail("timed out waiting for " + what);
    for (const auto& [k, v] : r.lines)
        if (k != "item" && k != "popup") std::printf("  | %s %s\n", k.c_str(), v.c_str());
    return r;
}

// --- input through XTest ------------------------------------------------------------

inline void MoveTo(int x, int y)
{
    XTestFakeMotionEvent(g_display, -1, x, y, CurrentTime);
    XFlush(g_display);
    Sleep(80);
}

inline void Click(int x, int y, unsigned button = 1)
{
    MoveTo(x, y);
    XTestFakeButtonEvent(g_display, button, True, CurrentTime);
    XFlush(g_display);
    Sleep(40);
    XTestFakeButtonEvent(g_display, button, False, CurrentTime);
    XFlush(g_display);
    // Far from the double-click time of the toolkit.
    Sleep(700);
}

inline void Key(KeySym sym)
{
    const KeyCode code = XKeysymToKeycode(g_display, sym);
    XTestFakeKeyEvent(g_display, code, True, CurrentTime);
    XFlush(g_display);
    Sleep(30);
    XTestFakeKeyEvent(g_display, code, False, CurrentTime);
    XFlush(g_display);
    Sleep(300);
}

// --- the screen ---------------------------------------------------------------------

inline void SaveScreen(const std::string& name)
{
    const Window root = DefaultRootWindow(g_display);
    XWindowAttributes a;
    XGetWindowAttributes(g_display, root, &a);
    XImage* img = XGetImage(g_display, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (img == nullptr) {
        Fail("no picture of the screen for " + name);
        return;
    }
    wxImage out(a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(img, x, y);
            out.SetRGB(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
    XDestroyImage(img);
    const std::string path = g_outDir + "/" + name;
    if (!out.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) Fail("could not write " + path);
}

// The UTF-8 names of the top-level windows.
inline std::vector<std::pair<Window, std::string>> TopLevelNames()
{
    std::vector<std::pair<Window, std::string>> out;
    const Atom netName = XInternAtom(g_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(g_display, "UTF8_STRING", False);
    Window rootRet, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(g_display, DefaultRootWindow(g_display), &rootRet, &parent, &children, &count)) return out;
    for (unsigned i = 0; i < count; ++i) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(g_display, children[i], netName, 0, 1024, False, utf8, &type, &format, &items,
                               &after, &data) == Success &&
            data != nullptr) {
            out.emplace_back(children[i], std::string(reinterpret_cast<char*>(data), items));
            XFree(data);
        }
    }
    if (children != nullptr) XFree(children);
    return out;
}

// Asks a top-level window to close, as a window manager does.
inline void SendDeleteWindow(Window w)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(g_display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(g_display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(g_display, w, False, NoEventMask, &e);
    XFlush(g_display);
}

struct Canvas {
    int x = 0, y = 0, w = 0, h = 0;        // client area on the screen
    int wx = 0, wy = 0, ww = 0, wh = 0;    // the whole window, scroll bars included
};

inline Canvas CanvasOf(const Report& r)
{
    Canvas c;
    std::istringstream in(r.Get("canvas"));
    in >> c.x >> c.y >> c.w >> c.h >> c.wx >> c.wy >> c.ww >> c.wh;
    return c;
}

}  // namespace xdriver
