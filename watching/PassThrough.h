// PassThrough: drawing a plug-in's one input unchanged into the framebuffer the
// host has bound, for the plug-ins that only watch the picture.
//
// It owns its program and quad: they are made by Build and released by
// Release, both while the context is current; the destructor issues no GL
// call. Drawing leaves no program in use, texture unit 0 active and no 2D
// texture bound there; it sets no viewport, blending or framebuffer state of
// its own.
#pragma once

#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "host/FFGLRecords.h"

// The pass-through GLSL: the quad's texture coordinate, scaled by "MaxUV" to
// the picture's part of the texture, samples "InputTexture" on unit 0.
extern const char kPassThroughVertexShader[];
extern const char kPassThroughFragmentShader[];

// The first input texture of a frame record; null for a null record or when
// the record holds none.
const FFGLTextureStructTag* FirstInput(const ProcessOpenGLStructTag* record);

class PassThrough
{
public:
	// Builds the program from the two sources and the quad, first releasing
	// what an earlier call made (a host may initialise twice without DeInitGL).
	// False when either cannot be built; the caller then releases both.
	bool Build(const char* vertexSource, const char* fragmentSource);
	// Harmless when nothing was built, and when called twice.
	void Release();

	// Draws the picture of input over the bound framebuffer's GL viewport.
	void Draw(const FFGLTextureStructTag& input);

private:
	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
};
