// Which backend the graphics layer draws through. The program calls this once, before it
// makes its window: the window must be able to carry an OpenGL context.
#pragma once

namespace kesh {

// Picks OpenGL whenever a context can be made (a display, or SDL's offscreen driver with
// Mesa); otherwise nothing is drawn, and the "video" log says why. True when drawing.
bool selectDrawingBackend();

}  // namespace kesh
