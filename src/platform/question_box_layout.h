// Where the question box puts its buttons, in window pixels from the top left. The buttons
// depend only on the window's size, so a test that knows the size can click them.
#pragma once

namespace platform {

struct BoxRectangle {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

constexpr int boxMargin = 16;   // pixels around the text and below the buttons
constexpr int buttonWidth = 80; // pixels
constexpr int buttonHeight = 28;
constexpr int buttonGap = 16;
constexpr int buttonRowWidth = 2 * buttonWidth + buttonGap;

// The two buttons side by side, centred, at the bottom; Yes on the left.
inline BoxRectangle yesButtonRectangle(int windowWidth, int windowHeight) {
    return {(windowWidth - buttonRowWidth) / 2, windowHeight - boxMargin - buttonHeight,
            buttonWidth, buttonHeight};
}

inline BoxRectangle noButtonRectangle(int windowWidth, int windowHeight) {
    BoxRectangle yes = yesButtonRectangle(windowWidth, windowHeight);
    yes.x += buttonWidth + buttonGap;
    return yes;
}

} // namespace platform
