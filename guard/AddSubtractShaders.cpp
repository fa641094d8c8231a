// The guard's pass-through program: the quad's texture coordinate, scaled to
// the picture's part of the input texture, samples texture unit 0 unchanged.
// Kept apart from AddSubtract.cpp so that a test can link sources of its own.
#include "guard/AddSubtract.h"

const char* const AddSubtract::vertexShader =
	"#version 410 core\n"
	"uniform vec2 MaxUV; layout(location=0) in vec4 vPosition; layout(location=1) in vec2 vUV; out vec2 uv;\n"
	"void main(){ gl_Position=vPosition; uv=vUV*MaxUV; }";

const char* const AddSubtract::fragmentShader =
	"#version 410 core\n"
	"uniform sampler2D InputTexture; in vec2 uv; out vec4 fragColor;\n"
	"void main(){ fragColor=texture(InputTexture,uv); }";
