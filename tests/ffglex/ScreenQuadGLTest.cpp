#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <vector>

using namespace ffglex;

// For each orientation, drawing a 2x2 texture over the whole output shows
// which texture corner lands in which screen corner. Neither Initialise nor
// Draw leaves anything bound; Release deletes what Initialise made, and an
// empty quad draws nothing and deletes nothing, even names reused since.
TEST_F(GLFixture, ScreenQuadDrawsTextureCornersToScreenCorners)
{
	FFGLShader shader;
	ASSERT_TRUE(shader.Compile(
		"#version 410 core\nlayout(location = 0) in vec4 p;\nlayout(location = 1) in vec2 t;\n"
		"out vec2 uv;\nvoid main() { gl_Position = p; uv = t; }",
		"#version 410 core\nuniform sampler2D image;\nin vec2 uv;\nout vec4 c;\nvoid main() { c = texture(image, uv); }"));
	// Rows bottom-up: (u, v) = (0, 0) red, (1, 0) green, (0, 1) blue, (1, 1) white.
	const RGBA8 red = { 255, 0, 0, 255 }, green = { 0, 255, 0, 255 }, blue = { 0, 0, 255, 255 },
				white = { 255, 255, 255, 255 };
	const GLuint texture =
		MakeRGBA8Texture(2, 2, { 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255 });
	FFGLScreenQuad quad;
	ScopedShaderBinding shaderBinding(shader.GetGLID());
	Scoped2DTextureBinding textureBinding(texture);
	const GLBindings bindings = CurrentBindings();
	const GLObjectNames before = LiveObjects();
	for (bool flipped : { false, true })
	{
		SCOPED_TRACE(flipped);
		ASSERT_TRUE(quad.Initialise(flipped));
		EXPECT_EQ(CurrentBindings(), bindings) << "Initialise left something bound";
		quad.Draw();
		EXPECT_EQ(CurrentBindings(), bindings) << "Draw left something bound";
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		EXPECT_EQ((std::vector<RGBA8>{ ReadPixel(0, kOutputHeight - 1), ReadPixel(kOutputWidth - 1, kOutputHeight - 1),
					  ReadPixel(0, 0), ReadPixel(kOutputWidth - 1, 0) }),
			flipped ? (std::vector<RGBA8>{ red, green, blue, white })
					: (std::vector<RGBA8>{ blue, white, red, green }));
		quad.Release();
		EXPECT_EQ(LiveObjects(), before);
	}

	glClear(GL_COLOR_BUFFER_BIT);
	FFGLScreenQuad other; // takes the freed names
	ASSERT_TRUE(other.Initialise(false));
	const GLObjectNames withOthers = LiveObjects();
	quad.Draw();
	quad.Release();
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR)) << "an empty quad drew";
	EXPECT_EQ(ReadPixel(kOutputWidth / 2, kOutputHeight / 2), (RGBA8{ 0, 0, 0, 0 }));
	EXPECT_EQ(LiveObjects(), withOthers);
	other.Release();
	textureBinding.EndScope();
	glDeleteTextures(1, &texture);
	shaderBinding.EndScope();
	shader.FreeGLResources();
}
