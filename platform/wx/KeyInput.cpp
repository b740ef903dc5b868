#include "platform/wx/KeyInput.h"

#include <unistd.h>

#include <wx/defs.h>
#include <wx/utils.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <vector>

namespace platform {
namespace {

KeySym ToKeySym(int key)
{
    switch (key) {
        case WXK_ESCAPE:
            return XK_Escape;
        case WXK_RETURN:
            return XK_Return;
        case WXK_TAB:
            return XK_Tab;
        case WXK_SPACE:
            return XK_space;
        case WXK_LEFT:
            return XK_Left;
        case WXK_RIGHT:
            return XK_Right;
        case WXK_UP:
            return XK_Up;
        case WXK_DOWN:
            return XK_Down;
        case WXK_F1:
            return XK_F1;
        default:
            break;
    }
    if (key >= 'A' && key <= 'Z') return XK_a + (key - 'A');
    if (key >= 'a' && key <= 'z') return XK_a + (key - 'a');
    if (key >= '0' && key <= '9') return XK_0 + (key - '0');
    return NoSymbol;
}

// The process that made window w, as the toolkit writes it on its windows.
long WindowProcess(Display* d, Window w)
{
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", True);
    if (pidAtom == None) return -1;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
            Success ||
        data == nullptr)
        return -1;
    const long pid = format == 32 && count == 1 ? static_cast<long>(*reinterpret_cast<unsigned long*>(data)) : -1;
    XFree(data);
    return pid;
}

// The program's topmost shown window; the screen's windows come bottom first.
Window TopWindow(Display* d)
{
    Window root = DefaultRootWindow(d), parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, root, &root, &parent, &children, &count)) return None;
    Window top = None;
    const long self = static_cast<long>(getpid());
    for (unsigned i = count; i-- > 0 && top == None;) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            WindowProcess(d, children[i]) == self)
            top = children[i];
    }
    if (children != nullptr) XFree(children);
    return top;
}

}  // namespace

bool PressKeyInTopWindow(int key, int modifiers)
{
    Display* d = wxGetX11Display();
    if (d == nullptr) return false;
    const KeySym sym = ToKeySym(key);
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
    if (code == 0) return false;
    // What the toolkit has asked of the server (a window just shown) first.
    XSync(d, False);
    const Window top = TopWindow(d);
    if (top == None) return false;
    XSetInputFocus(d, top, RevertToParent, CurrentTime);
    std::vector<KeyCode> held;
    if (modifiers & wxMOD_CONTROL) held.push_back(XKeysymToKeycode(d, XK_Control_L));
    if (modifiers & wxMOD_ALT) held.push_back(XKeysymToKeycode(d, XK_Alt_L));
    if (modifiers & wxMOD_SHIFT) held.push_back(XKeysymToKeycode(d, XK_Shift_L));
    for (KeyCode m : held) XTestFakeKeyEvent(d, m, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    for (auto it = held.rbegin(); it != held.rend(); ++it) XTestFakeKeyEvent(d, *it, False, CurrentTime);
    XSync(d, False);
    return true;
}

}  // namespace platform
