// FFGLScreenQuad: a vertex array and buffer with two triangles covering all of
// clip space. Drawn with a pass-through vertex shader it fills the current
// viewport with whatever the caller's fragment shader produces.
//
// Vertex layout: five floats, 20 bytes, in the order u, v, x, y, z. Attribute
// location 0 is the position (3 floats at byte offset 8), location 1 the
// texture coordinate (2 floats at offset 0). A shader that declares its
// position as a vec4 receives w = 1.
//
// The destructor issues no GL call: the owner calls Release while its context
// is current.
#pragma once

#include "ffglex/FFGLGL.h"

namespace ffglex
{
// Top-left, top-right, bottom-left, then bottom-left, top-right, bottom-right.
// TEXTURED_QUAD_VERTICES puts texture v = 0 at the bottom of the screen (GL's
// convention); FLIPPED_TEXTURED_QUAD_VERTICES puts it at the top.
extern const float TEXTURED_QUAD_VERTICES[6][5];
extern const float FLIPPED_TEXTURED_QUAD_VERTICES[6][5];

class FFGLScreenQuad
{
public:
	FFGLScreenQuad();
	~FFGLScreenQuad();
	FFGLScreenQuad(const FFGLScreenQuad&) = delete;
	FFGLScreenQuad& operator=(const FFGLScreenQuad&) = delete;

	// Creates and fills the vertex array and buffer; false (and empty again)
	// when GL hands out no name. Meant for a quad without GL objects (new, or
	// after Release). Leaves no vertex array and no array buffer bound.
	bool Initialise(bool flipped = false);
	// Draws the six vertices as triangles. The caller binds the program and the
	// textures. On an empty quad it issues no GL call.
	void Draw();
	// Deletes both objects and sets their names to 0. On an empty quad it issues
	// no GL call.
	void Release();

private:
	GLuint vaoID;
	GLuint vboID;
};

} // namespace ffglex
