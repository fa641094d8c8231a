#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

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

// 2x2 texels, rows bottom-up: texel (u, v) = (0, 0) red, (1, 0) green,
// (0, 1) blue, (1, 1) white.
const RGBA8 kRed = { 255, 0, 0, 255 };
const RGBA8 kGreen = { 0, 255, 0, 255 };
const RGBA8 kBlue = { 0, 0, 255, 255 };
const RGBA8 kWhite = { 255, 255, 255, 255 };

std::vector<GLuint> NewNames(const std::vector<GLuint>& before, const std::vector<GLuint>& after)
{
	std::vector<GLuint> added;
	std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
	return added;
}

class ScreenQuadGLTest : public GLFixture
{
protected:
	void TearDown() override
	{
		if (Context() != nullptr)
		{
			quad.Release();
			shader.FreeGLResources();
		}
		GLFixture::TearDown();
	}

	// Counts the primitives that reach the rasteriser while it runs, together
	// with the GL error it leaves; a draw without a vertex array would raise
	// GL_INVALID_OPERATION in a core context.
	template <typename Action>
	GLuint PrimitivesDrawnBy(Action action)
	{
		GLuint query = 0;
		glGenQueries(1, &query);
		glBeginQuery(GL_PRIMITIVES_GENERATED, query);
		action();
		glEndQuery(GL_PRIMITIVES_GENERATED);
		GLuint primitives = 0;
		glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
		glDeleteQueries(1, &query);
		return primitives;
	}

	FFGLScreenQuad quad;
	FFGLShader shader;
};
} // namespace

// For each orientation: the buffer holds the table of that orientation, and
// drawing a 2x2 texture over the whole output shows which texture corner
// lands in which screen corner. Neither Initialise nor Draw leaves anything
// bound, and Release deletes exactly the two objects Initialise made.
TEST_F(ScreenQuadGLTest, UploadsItsTableAndDrawsTextureCornersToScreenCorners)
{
	ASSERT_TRUE(shader.Compile(kPassThroughVertex, kPassThroughFragment));
	const GLuint texture =
		MakeRGBA8Texture(2, 2, { 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255 });
	const struct
	{
		bool flipped;
		const float (*table)[5];
		RGBA8 topLeft, topRight, bottomLeft, bottomRight;
	} cases[] = {
		{ false, TEXTURED_QUAD_VERTICES, kBlue, kWhite, kRed, kGreen },
		{ true, FLIPPED_TEXTURED_QUAD_VERTICES, kRed, kGreen, kBlue, kWhite },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.flipped ? "flipped" : "not flipped");
		const GLBindings bindings = CurrentBindings();
		const GLObjectNames before = LiveObjects();
		ASSERT_TRUE(quad.Initialise(c.flipped));
		EXPECT_EQ(CurrentBindings(), bindings) << "Initialise left something bound";
		const GLObjectNames after = LiveObjects();
		ASSERT_EQ(NewNames(before.vertexArrays, after.vertexArrays).size(), 1u);
		const std::vector<GLuint> buffers = NewNames(before.buffers, after.buffers);
		ASSERT_EQ(buffers.size(), 1u);

		float uploaded[6][5] = {};
		GLint size = 0;
		glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
		glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
		glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(uploaded), uploaded);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
		EXPECT_EQ(size, 120);
		for (int vertex = 0; vertex < 6; ++vertex)
			for (int component = 0; component < 5; ++component)
				EXPECT_EQ(uploaded[vertex][component], c.table[vertex][component]) << vertex << ", " << component;

		{
			ScopedShaderBinding shaderBinding(shader.GetGLID());
			ScopedSamplerActivation samplerActivation(0);
			Scoped2DTextureBinding textureBinding(texture);
			shader.Set("image", 0);
			EXPECT_EQ(PrimitivesDrawnBy([this] { quad.Draw(); }), 2u);
			EXPECT_EQ(CurrentBindings().vertexArray, 0);
			EXPECT_EQ(CurrentBindings().arrayBuffer, 0);
		}
		EXPECT_EQ(CurrentBindings(), bindings);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		EXPECT_EQ(ReadPixel(0, kOutputHeight - 1), c.topLeft);
		EXPECT_EQ(ReadPixel(kOutputWidth - 1, kOutputHeight - 1), c.topRight);
		EXPECT_EQ(ReadPixel(0, 0), c.bottomLeft);
		EXPECT_EQ(ReadPixel(kOutputWidth - 1, 0), c.bottomRight);
		quad.Release();
		EXPECT_EQ(LiveObjects(), before);
	}
	glDeleteTextures(1, &texture);
}

// An empty quad, before Initialise and after Release, draws nothing, raises
// no GL error and touches no state or object; a second Release does not
// delete objects that have since taken the freed names.
TEST_F(ScreenQuadGLTest, EmptyQuadIssuesNoGLCall)
{
	ASSERT_TRUE(shader.Compile(kPassThroughVertex, kPassThroughFragment));
	const GLuint texture = MakeRGBA8Texture(1, 1, { 10, 20, 30, 40 });
	ScopedShaderBinding shaderBinding(shader.GetGLID());
	Scoped2DTextureBinding textureBinding(texture);
	const auto expectNothingHappens = [this](const char* when, void (FFGLScreenQuad::*operation)())
	{
		SCOPED_TRACE(when);
		const GLBindings bindings = CurrentBindings();
		const GLObjectNames objects = LiveObjects();
		const std::vector<std::uint8_t> pixels = ReadPixels(0, 0, kOutputWidth, kOutputHeight);
		EXPECT_EQ(PrimitivesDrawnBy([this, operation] { (quad.*operation)(); }), 0u);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
		EXPECT_EQ(CurrentBindings(), bindings);
		EXPECT_EQ(LiveObjects(), objects);
		EXPECT_EQ(ReadPixels(0, 0, kOutputWidth, kOutputHeight), pixels);
	};
	expectNothingHappens("Draw before Initialise", &FFGLScreenQuad::Draw);
	ASSERT_TRUE(quad.Initialise(false));
	quad.Release();
	expectNothingHappens("Draw after Release", &FFGLScreenQuad::Draw);

	GLuint buffer = 0, vertexArray = 0;
	glGenBuffers(1, &buffer);
	glBindBuffer(GL_ARRAY_BUFFER, buffer);
	glBindBuffer(GL_ARRAY_BUFFER, 0);
	glGenVertexArrays(1, &vertexArray);
	glBindVertexArray(vertexArray);
	glBindVertexArray(0);
	expectNothingHappens("a second Release", &FFGLScreenQuad::Release);
	glDeleteBuffers(1, &buffer);
	glDeleteVertexArrays(1, &vertexArray);
	textureBinding.EndScope();
	glDeleteTextures(1, &texture);
}
