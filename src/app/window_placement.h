// Where a window of the given extent starts so that it sits centred on the screen. Truncates
// toward zero, so a screen smaller than the window gives zero or a negative origin.
#pragma once

inline int centredOrigin(int screenExtent, int windowExtent) {
    return (screenExtent - windowExtent) / 2;
}
