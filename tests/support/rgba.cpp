#include "rgba.h"

#include <cstdlib>

bool nearColour(const Rgba &a, const Rgba &b, int tolerance) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(int(a[i]) - int(b[i])) > tolerance) {
            return false;
        }
    }
    return true;
}
