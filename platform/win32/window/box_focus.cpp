#include "window/box_focus.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <utility>

#include "window/x_errors.h"

namespace win32 {

namespace {

// A window's title as window managers read it (SDL sets only the UTF-8 one).
std::string titleOf(Display* display, ::Window window) {
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 256, False, AnyPropertyType, &type, &format,
                           &items, &left, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), items);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

// The window with this title among the root's children and, under a window manager, inside
// their frames; 0 when none.
::Window findTitled(Display* display, ::Window parent, const std::string& title, int depth) {
    ::Window root = 0;
    ::Window above = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (XQueryTree(display, parent, &root, &above, &children, &count)) {
        // Top-most first: an older box of the same caption lies below.
        for (unsigned i = count; i-- > 0 && found == 0;) {
            found = titleOf(display, children[i]) == title ? children[i] : 0;
            if (found == 0 && depth > 1) {
                found = findTitled(display, children[i], title, depth - 1);
            }
        }
        XFree(children);
    }
    return found;
}

bool viewable(Display* display, ::Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Asks a window manager to activate the window (as a pager would), so that it also raises it
// and keeps its own idea of the focus right; without one nobody reads the message.
void askToActivate(Display* display, ::Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

BoxFocus::BoxFocus(std::string caption) : caption_(std::move(caption)) {
    if (std::getenv("DISPLAY") != nullptr) {
        display_ = XOpenDisplay(nullptr);
    }
}

BoxFocus::~BoxFocus() {
    if (display_ != nullptr) {
        XCloseDisplay(static_cast<Display*>(display_));
    }
}

void BoxFocus::look() {
    auto* display = static_cast<Display*>(display_);
    if (display == nullptr) {
        return;
    }
    // The box may go at any moment: a request about it that fails is no fault of the game's.
    const QuietXErrors quiet;
    if (box_ == 0) {
        box_ = findTitled(display, DefaultRootWindow(display), caption_, 2);
    }
    if (box_ == 0 || !viewable(display, box_)) {
        return;
    }
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus != box_) {
        askToActivate(display, box_);
        XRaiseWindow(display, box_);
        XSetInputFocus(display, box_, RevertToParent, CurrentTime);
    }
    XSync(display, False);
}

}  // namespace win32
