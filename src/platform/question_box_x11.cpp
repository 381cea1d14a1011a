// The question box on X11: a small top-level window on a display connection of its own, so
// freeglut's connection never sees its events. Plain Xlib and a core font, one line of text per
// '\n', the buttons Yes and No, no icon. Not reentrant: call it from one thread at a time.
#include <algorithm>
#include <optional>
#include <sstream>

#include "platform/platform.h"
#include "platform/question_box_layout.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace platform {

namespace {

// An X error on the box's own connection makes the box fail instead of ending the process, as
// Xlib's default handler would; errors of any other connection go to the handler found before.
Display *guardedDisplay = nullptr;
bool guardedDisplayFailed = false;
XErrorHandler previousErrorHandler = nullptr;

int onXError(Display *display, XErrorEvent *error) {
    if (display == guardedDisplay) {
        guardedDisplayFailed = true;
        return 0;
    }
    return previousErrorHandler != nullptr ? previousErrorHandler(display, error) : 0;
}

struct XErrorGuard {
    explicit XErrorGuard(Display *display) {
        guardedDisplay = display;
        guardedDisplayFailed = false;
        previousErrorHandler = XSetErrorHandler(onXError);
    }
    ~XErrorGuard() {
        XSetErrorHandler(previousErrorHandler);
        guardedDisplay = nullptr;
    }
    XErrorGuard(const XErrorGuard &) = delete;
    XErrorGuard &operator=(const XErrorGuard &) = delete;
};

enum class Button { yes, no };

struct QuestionBox {
    Display *display = nullptr;
    XFontStruct *font = nullptr;
    std::vector<std::string> lines;
    Window window = 0;
    GC gc = nullptr;
    int width = 0; // pixels
    int height = 0;
    Atom deleteWindow = 0;
    Button focus = Button::yes;
    std::optional<Button> pressed; // the button under the mouse when it went down
    bool tookFocus = false;
};

std::vector<std::string> splitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

XFontStruct *loadFont(Display *display) {
    for (const char *name : {"-*-helvetica-medium-r-normal--14-*-*-*-*-*-iso8859-1", "fixed",
                             "-misc-fixed-*-*-*-*-*-*-*-*-*-*-*-*"}) {
        if (XFontStruct *font = XLoadQueryFont(display, name)) {
            return font;
        }
    }
    return nullptr;
}

int textWidth(const QuestionBox &box, const std::string &text) {
    return XTextWidth(box.font, text.c_str(), static_cast<int>(text.size()));
}

int lineHeight(const QuestionBox &box) {
    return box.font->ascent + box.font->descent;
}

void sizeBox(QuestionBox &box) {
    constexpr int minimumWidth = 280; // pixels, so a short question still looks like a dialog
    int widest = 0;
    for (const std::string &line : box.lines) {
        widest = std::max(widest, textWidth(box, line));
    }
    box.width = std::max({widest + 2 * boxMargin, buttonRowWidth + 2 * boxMargin, minimumWidth});
    const int textHeight = static_cast<int>(box.lines.size()) * lineHeight(box);
    box.height = boxMargin + textHeight + boxMargin + buttonHeight + boxMargin;
}

void setAtomProperty(Display *display, Window window, const char *property, const char *value) {
    Atom atom = XInternAtom(display, value, False);
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char *>(&atom), 1);
}

// Tells window managers what the box is: its title, a fixed size at the centre, a dialog that
// wants keyboard input and belongs above the other windows, and that it can be asked to close.
void describeToWindowManager(QuestionBox &box, const std::string &caption, int x, int y) {
    Display *display = box.display;
    XStoreName(display, box.window, caption.c_str());
    XChangeProperty(display, box.window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(caption.data()),
                    static_cast<int>(caption.size()));

    XSizeHints size{};
    size.flags = USPosition | PPosition | PSize | PMinSize | PMaxSize;
    size.x = x;
    size.y = y;
    size.width = size.min_width = size.max_width = box.width;
    size.height = size.min_height = size.max_height = box.height;
    XSetWMNormalHints(display, box.window, &size);

    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, box.window, &hints);

    // There is no owner window; transient for the root means "for the whole application".
    XSetTransientForHint(display, box.window, DefaultRootWindow(display));
    setAtomProperty(display, box.window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    box.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, box.window, &box.deleteWindow, 1);
}

void createWindow(QuestionBox &box, const std::string &caption) {
    Display *display = box.display;
    const int screen = DefaultScreen(display);
    const int x = (DisplayWidth(display, screen) - box.width) / 2;
    const int y = (DisplayHeight(display, screen) - box.height) / 2;
    box.window =
        XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                            static_cast<unsigned>(box.width), static_cast<unsigned>(box.height), 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    describeToWindowManager(box, caption, x, y);
    XSelectInput(display, box.window,
                 ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask);
    box.gc = XCreateGC(display, box.window, 0, nullptr);
    XSetForeground(display, box.gc, BlackPixel(display, screen));
    XSetFont(display, box.gc, box.font->fid);
    XMapRaised(display, box.window);
}

BoxRectangle buttonRectangle(const QuestionBox &box, Button button) {
    return button == Button::yes ? yesButtonRectangle(box.width, box.height)
                                 : noButtonRectangle(box.width, box.height);
}

void drawRectangle(const QuestionBox &box, const BoxRectangle &r, int inset) {
    XDrawRectangle(box.display, box.window, box.gc, r.x + inset, r.y + inset,
                   static_cast<unsigned>(r.width - 1 - 2 * inset),
                   static_cast<unsigned>(r.height - 1 - 2 * inset));
}

// The focused button gets a double border and a dotted ring inside, as classic dialogs show it.
void drawButton(const QuestionBox &box, Button button) {
    const BoxRectangle r = buttonRectangle(box, button);
    drawRectangle(box, r, 0);
    if (box.focus == button) {
        drawRectangle(box, r, 1);
        XSetLineAttributes(box.display, box.gc, 0, LineOnOffDash, CapButt, JoinMiter);
        drawRectangle(box, r, 4);
        XSetLineAttributes(box.display, box.gc, 0, LineSolid, CapButt, JoinMiter);
    }
    const std::string label = button == Button::yes ? "Yes" : "No";
    const int x = r.x + (r.width - textWidth(box, label)) / 2;
    const int baseline = r.y + (r.height + box.font->ascent - box.font->descent) / 2;
    XDrawString(box.display, box.window, box.gc, x, baseline, label.c_str(),
                static_cast<int>(label.size()));
}

void draw(const QuestionBox &box) {
    XClearWindow(box.display, box.window);
    int baseline = boxMargin + box.font->ascent;
    for (const std::string &line : box.lines) {
        XDrawString(box.display, box.window, box.gc, boxMargin, baseline, line.c_str(),
                    static_cast<int>(line.size()));
        baseline += lineHeight(box);
    }
    drawButton(box, Button::yes);
    drawButton(box, Button::no);
}

Answer answerOf(Button button) {
    return button == Button::yes ? Answer::yes : Answer::no;
}

std::optional<Answer> onKey(QuestionBox &box, XKeyEvent &event) {
    KeySym key = NoSymbol;
    char typed[8];
    XLookupString(&event, typed, sizeof typed, &key, nullptr);
    switch (key) {
    case XK_y:
    case XK_Y:
        return Answer::yes;
    case XK_n:
    case XK_N:
        return Answer::no;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        return answerOf(box.focus);
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_Left:
    case XK_Right:
        box.focus = box.focus == Button::yes ? Button::no : Button::yes;
        draw(box);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<Button> buttonAt(const QuestionBox &box, int x, int y) {
    for (Button button : {Button::yes, Button::no}) {
        if (buttonRectangle(box, button).contains(x, y)) {
            return button;
        }
    }
    return std::nullopt;
}

// A click answers when the left button goes down and comes up on the same button.
std::optional<Answer> onMouseButton(QuestionBox &box, const XButtonEvent &event) {
    if (event.button != Button1) {
        return std::nullopt;
    }
    const std::optional<Button> under = buttonAt(box, event.x, event.y);
    if (event.type == ButtonPress) {
        box.pressed = under;
        return std::nullopt;
    }
    const bool clicked = under && box.pressed == under;
    box.pressed.reset();
    return clicked ? std::optional<Answer>(answerOf(*under)) : std::nullopt;
}

// Waits for the answer. The box takes the keyboard focus once it is first drawn, as a desktop
// without a window manager would give it none.
Answer waitForAnswer(QuestionBox &box) {
    const Atom protocols = XInternAtom(box.display, "WM_PROTOCOLS", False);
    XEvent event;
    while (!guardedDisplayFailed) {
        XNextEvent(box.display, &event);
        std::optional<Answer> answer;
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {
                draw(box);
                if (!box.tookFocus) {
                    XSetInputFocus(box.display, box.window, RevertToPointerRoot, CurrentTime);
                    box.tookFocus = true;
                }
            }
            break;
        case KeyPress:
            answer = onKey(box, event.xkey);
            break;
        case ButtonPress:
        case ButtonRelease:
            answer = onMouseButton(box, event.xbutton);
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&event.xmapping);
            break;
        case ClientMessage:
            if (event.xclient.message_type == protocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == box.deleteWindow) {
                return Answer::failed; // closed without a choice
            }
            break;
        default:
            break;
        }
        if (answer) {
            return *answer;
        }
    }
    return Answer::failed;
}

Answer showBox(Display *display, const std::string &text, const std::string &caption) {
    QuestionBox box;
    box.display = display;
    box.font = loadFont(display);
    if (box.font == nullptr) {
        return Answer::failed;
    }
    box.lines = splitLines(text);
    sizeBox(box);
    createWindow(box, caption);
    XSync(display, False);
    const Answer answer = guardedDisplayFailed ? Answer::failed : waitForAnswer(box);
    XFreeGC(display, box.gc);
    XDestroyWindow(display, box.window);
    XFreeFont(display, box.font);
    return answer;
}

} // namespace

Answer askYesNo(const std::string &text, const std::string &caption) {
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return Answer::failed;
    }
    XErrorGuard guard(display);
    const Answer answer = showBox(display, text, caption);
    // Closing waits until the server has destroyed the window, so a caller that asks again, or
    // a script that looks for the box, never finds a stale one.
    XCloseDisplay(display);
    return answer;
}

} // namespace platform
