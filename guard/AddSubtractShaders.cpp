// The guard's pass-through program. Kept apart from AddSubtract.cpp so that a
// test can link sources of its own.
#include "guard/AddSubtract.h"
#include "watching/PassThrough.h"

const char* const AddSubtract::vertexShader = kPassThroughVertexShader;
const char* const AddSubtract::fragmentShader = kPassThroughFragmentShader;
