// The one sun of the scene: it lights the terrain texture and shines in the sky, so both agree.
// World axes as the viewer uses them: y up, the start pose looks along -z.
#pragma once

#include <glm/glm.hpp>

// Unit vector towards the sun: high in the -x, -z quarter, inside the "Right.png" face.
inline glm::vec3 sunDirection() {
    return glm::normalize(glm::vec3(-0.75f, 0.42f, -0.32f));
}
