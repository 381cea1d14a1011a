// The seam between the viewer and the operating system: a modal yes/no question, a wildcard
// directory listing and a monotonic counter. Everything above this header is portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class Answer { yes, no, failed };

// Shows a modal question box with the buttons Yes and No on the default X display and waits for
// the user. Gives failed when there is no display or the box cannot be shown; closing the box
// without choosing counts as failed too, since only an explicit No is a No. The box takes the
// keyboard focus itself and is found by scripts through its title, the caption.
Answer askYesNo(const std::string &text, const std::string &caption);

// Names of the entries of a directory that match a wildcard, e.g. "Resources/Textures/*.png".
// The part after the last '/' is the pattern. "." and ".." are listed when they match; a
// directory that cannot be opened gives no names. The order is the directory's own. Matching
// is case-sensitive, and "*" matches names that begin with a dot.
std::vector<std::string> listDirectory(const std::string &pattern);

// A monotonic high-resolution counter and its fixed rate, in counts per second.
std::int64_t readCounter();
std::int64_t counterFrequency();

// Keeps memory that a frame frees for the next frame. Mesa's software renderer frees large blocks
// after every frame, and glibc would hand them back to the kernel and fault them in again each
// time, which cost three quarters of the frame time.
void keepFreedMemoryForReuse();

} // namespace platform
