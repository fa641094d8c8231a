#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <vector>

using namespace ffglex;

namespace
{
// Draws the bound texture unchanged, as a host-facing pass-through does.
const char* const kPassThroughVertex = R"(#version 410 core
layout(location = 0) in vec4 position;
layout(location = 1) in vec2 texCoord;
out vec2 uv;
void main() { gl_Position = position; uv = texCoord; }
)";
const char* const kPassThroughFragment = R"(#version 410 core
uniform sampler2D image;
in vec2 uv;
out vec4 color;
void main() { color = texture(image, uv); }
)";

// 2x2 texels, rows bottom-up: (u, v) = (0, 0) red, (1, 0) green, (0, 1) blue,
// (1, 1) white.
const RGBA8 kRed = { 255, 0, 0, 255 };
const RGBA8 kGreen = { 0, 255, 0, 255 };
const RGBA8 kBlue = { 0, 0, 255, 255 };
const RGBA8 kWhite = { 255, 255, 255, 255 };
} // namespace

// For each orientation, drawing a 2x2 texture over the whole output shows
// which texture corner lands in which screen corner. Neither Initialise nor
// Draw leaves anything bound; Release deletes what Initialise made, and an
// empty quad draws nothing and deletes nothing, even names reused since.
TEST_F(GLFixture, ScreenQuadDrawsTextureCornersToScreenCorners)
{
	FFGLShader shader;
	ASSERT_TRUE(shader.Compile(kPassThroughVertex, kPassThroughFragment));
	const GLuint texture =
		MakeRGBA8Texture(2, 2, { 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255 });
	const struct
	{
		bool flipped;
		RGBA8 topLeft, topRight, bottomLeft, bottomRight;
	} cases[] = { { false, kBlue, kWhite, kRed, kGreen }, { true, kRed, kGreen, kBlue, kWhite } };
	FFGLScreenQuad quad;
	ScopedShaderBinding shaderBinding(shader.GetGLID());
	Scoped2DTextureBinding textureBinding(texture);
	shader.Set("image", 0);
	const GLBindings bindings = CurrentBindings();
	const GLObjectNames before = LiveObjects();
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.flipped ? "flipped" : "not flipped");
		ASSERT_TRUE(quad.Initialise(c.flipped));
		EXPECT_EQ(CurrentBindings(), bindings) << "Initialise left something bound";
		quad.Draw();
		EXPECT_EQ(CurrentBindings(), bindings) << "Draw left something bound";
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		EXPECT_EQ((std::vector<RGBA8>{ ReadPixel(0, kOutputHeight - 1), ReadPixel(kOutputWidth - 1, kOutputHeight - 1),
					  ReadPixel(0, 0), ReadPixel(kOutputWidth - 1, 0) }),
			(std::vector<RGBA8>{ c.topLeft, c.topRight, c.bottomLeft, c.bottomRight }));
		quad.Release();
		EXPECT_EQ(LiveObjects(), before);
	}

	glClear(GL_COLOR_BUFFER_BIT);
	GLuint buffer = 0, vertexArray = 0;
	glGenBuffers(1, &buffer);
	glGenVertexArrays(1, &vertexArray);
	{
		ScopedVBOBinding bufferBinding(buffer);
		ScopedVAOBinding arrayBinding(vertexArray);
	}
	const GLObjectNames withOthers = LiveObjects();
	quad.Draw();
	quad.Release();
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR)) << "an empty quad drew";
	EXPECT_EQ(ReadPixel(kOutputWidth / 2, kOutputHeight / 2), (RGBA8{ 0, 0, 0, 0 }));
	EXPECT_EQ(LiveObjects(), withOthers);
	glDeleteBuffers(1, &buffer);
	glDeleteVertexArrays(1, &vertexArray);
	textureBinding.EndScope();
	glDeleteTextures(1, &texture);
	shaderBinding.EndScope();
	shader.FreeGLResources();
}
