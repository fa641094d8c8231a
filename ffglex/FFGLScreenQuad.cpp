#include "ffglex/FFGLScreenQuad.h"

#include "ffglex/FFGLScopedBindings.h"

#include <cstdint>

namespace ffglex
{
// u, v, x, y, z
const float TEXTURED_QUAD_VERTICES[6][5] = {
	{ 0.0f, 1.0f, -1.0f, 1.0f, 0.0f },
	{ 1.0f, 1.0f, 1.0f, 1.0f, 0.0f },
	{ 0.0f, 0.0f, -1.0f, -1.0f, 0.0f },
	{ 0.0f, 0.0f, -1.0f, -1.0f, 0.0f },
	{ 1.0f, 1.0f, 1.0f, 1.0f, 0.0f },
	{ 1.0f, 0.0f, 1.0f, -1.0f, 0.0f },
};
const float FLIPPED_TEXTURED_QUAD_VERTICES[6][5] = {
	{ 0.0f, 0.0f, -1.0f, 1.0f, 0.0f },
	{ 1.0f, 0.0f, 1.0f, 1.0f, 0.0f },
	{ 0.0f, 1.0f, -1.0f, -1.0f, 0.0f },
	{ 0.0f, 1.0f, -1.0f, -1.0f, 0.0f },
	{ 1.0f, 0.0f, 1.0f, 1.0f, 0.0f },
	{ 1.0f, 1.0f, 1.0f, -1.0f, 0.0f },
};
static_assert(sizeof(TEXTURED_QUAD_VERTICES) == 120, "six vertices of five floats");
static_assert(sizeof(FLIPPED_TEXTURED_QUAD_VERTICES) == 120, "six vertices of five floats");

namespace
{
constexpr GLsizei kVertexStride = 5 * sizeof(float);
constexpr std::uintptr_t kTexCoordOffset = 0;
constexpr std::uintptr_t kPositionOffset = 2 * sizeof(float);
} // namespace

FFGLScreenQuad::FFGLScreenQuad() : vaoID(0), vboID(0)
{
}

FFGLScreenQuad::~FFGLScreenQuad() = default;

bool FFGLScreenQuad::Initialise(bool flipped)
{
	glGenVertexArrays(1, &vaoID);
	glGenBuffers(1, &vboID);
	if (vaoID == 0 || vboID == 0)
	{
		Release();
		return false;
	}

	// The attribute pointers are recorded in the vertex array, so both scopes
	// can end before drawing.
	ScopedVAOBinding vaoBinding(vaoID);
	ScopedVBOBinding vboBinding(vboID);
	const float(&vertices)[6][5] = flipped ? FLIPPED_TEXTURED_QUAD_VERTICES : TEXTURED_QUAD_VERTICES;
	glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
	glEnableVertexAttribArray(0);
	glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, kVertexStride, reinterpret_cast<const void*>(kPositionOffset));
	glEnableVertexAttribArray(1);
	glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, kVertexStride, reinterpret_cast<const void*>(kTexCoordOffset));
	vboBinding.EndScope();
	vaoBinding.EndScope();
	return true;
}

void FFGLScreenQuad::Draw()
{
	if (vaoID == 0 || vboID == 0)
		return;
	ScopedVAOBinding vaoBinding(vaoID);
	glDrawArrays(GL_TRIANGLES, 0, 6);
}

void FFGLScreenQuad::Release()
{
	// An empty quad issues no GL call, so releasing after a failed or missing
	// Initialise is safe even where no context is current.
	if (vboID != 0)
	{
		glDeleteBuffers(1, &vboID);
		vboID = 0;
	}
	if (vaoID != 0)
	{
		glDeleteVertexArrays(1, &vaoID);
		vaoID = 0;
	}
}

} // namespace ffglex
