#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <string>

using namespace ffglex;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace
{
const char* const kVertex =
	"#version 410 core\nlayout(location = 0) in vec4 position;\nvoid main() { gl_Position = position; }\n";
const char* const kFragment = R"(#version 410 core
uniform float scalar;
uniform vec2 pair;
uniform vec3 triple;
uniform vec4 quad;
uniform int count;
out vec4 color;
void main() { color = vec4(scalar + pair.x + triple.y, quad.yz, float(count)); }
)";
const char* const kGeometry = R"(#version 410 core
layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;
void main() { for (int i = 0; i < 3; ++i) { gl_Position = gl_in[i].gl_Position; EmitVertex(); } }
)";
const char* const kBrokenVertex = "#version 410 core\nvoid main() { gl_Position = undeclared; }\n";
const char* const kBrokenGeometry = "#version 410 core\nlayout(triangles) in;\nvoid main() { EmitVertex() }\n";
const char* const kBrokenFragment = "#version 410 core\nout vec4 color;\nvoid main() { color = 1.0 }\n";
// Compiles, but a declared function is never defined: only the link fails.
const char* const kUnlinkableFragment =
	"#version 410 core\nout vec4 color;\nvec4 neverDefined();\nvoid main() { color = neverDefined(); }\n";

GLint ProgramInteger(GLuint program, GLenum name)
{
	GLint value = -1;
	glGetProgramiv(program, name, &value);
	return value;
}

class ShaderGLTest : public GLFixture
{
protected:
	void TearDown() override
	{
		if (Context() != nullptr)
			shader.FreeGLResources();
		GLFixture::TearDown();
	}

	FFGLShader shader;
};
} // namespace

// A good program links, with or without a geometry stage, and takes uniforms
// of every setter; an unknown name changes nothing and reports nothing.
TEST_F(ShaderGLTest, GoodProgramLinksAndTakesUniforms)
{
	for (const char* geometry : { kGeometry, "" })
	{
		CaptureStdout();
		ASSERT_TRUE(shader.Compile(kVertex, geometry, kFragment));
		EXPECT_EQ(GetCapturedStdout(), "");
		EXPECT_TRUE(shader.IsReady());
		EXPECT_TRUE(glIsProgram(shader.GetGLID()));
		EXPECT_EQ(ProgramInteger(shader.GetGLID(), GL_ATTACHED_SHADERS), geometry[0] != '\0' ? 3 : 2);
		shader.FreeGLResources();
	}
	ASSERT_TRUE(shader.Compile(std::string(kVertex), std::string(kFragment)));
	const GLuint program = shader.GetGLID();
	ScopedShaderBinding binding(program);
	shader.Set("scalar", 0.25f);
	shader.Set("pair", 1.0f, 2.0f);
	shader.Set("triple", 3.0f, 4.0f, 5.0f);
	shader.Set("quad", 6.0f, 7.0f, 8.0f, 9.0f);
	shader.Set("count", 42);
	CaptureStdout();
	shader.Set("absent", 1.0f);
	shader.Set("absent", 1.0f, 2.0f, 3.0f, 4.0f);
	shader.Set("absent", 3);
	EXPECT_EQ(GetCapturedStdout(), "");
	EXPECT_EQ(shader.FindUniform("absent"), -1);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

	const struct
	{
		const char* name;
		int count;
		GLfloat expected[4];
	} uniforms[] = {
		{ "scalar", 1, { 0.25f } },
		{ "pair", 2, { 1.0f, 2.0f } },
		{ "triple", 3, { 3.0f, 4.0f, 5.0f } },
		{ "quad", 4, { 6.0f, 7.0f, 8.0f, 9.0f } },
	};
	for (const auto& u : uniforms)
	{
		GLfloat values[4] = {};
		glGetUniformfv(program, shader.FindUniform(u.name), values);
		for (int i = 0; i < u.count; ++i)
			EXPECT_EQ(values[i], u.expected[i]) << u.name << "[" << i << "]";
	}
	GLint count = 0;
	glGetUniformiv(program, shader.FindUniform("count"), &count);
	EXPECT_EQ(count, 42);
}

// Each failure writes one message, its prefix followed by the driver's log
// (which may span lines of its own), and leaves no shader or program object
// behind.
TEST_F(ShaderGLTest, FailuresLogOneLineAndLeaveNothingAlive)
{
	const struct
	{
		const char* label;
		const char* vertex;
		const char* geometry;
		const char* fragment;
		const char* prefix;
	} cases[] = {
		{ "broken vertex", kBrokenVertex, nullptr, kFragment, "Vertex Shader error: " },
		{ "broken geometry", kVertex, kBrokenGeometry, kFragment, "Geometry Shader error: " },
		{ "broken fragment", kVertex, nullptr, kBrokenFragment, "Fragment Shader error: " },
		{ "link failure", kVertex, nullptr, kUnlinkableFragment, "Fragment Shader error: " },
		{ "link failure with geometry", kVertex, kGeometry, kUnlinkableFragment, "Fragment Shader error: " },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.label);
		const GLObjectNames before = LiveObjects();
		CaptureStdout();
		EXPECT_FALSE(shader.Compile(c.vertex, c.geometry, c.fragment));
		const std::string output = GetCapturedStdout();

		EXPECT_EQ(output.rfind(c.prefix, 0), 0u) << output;
		EXPECT_EQ(output.find("Shader error: ", std::string(c.prefix).size()), std::string::npos)
			<< "two messages: " << output;
		EXPECT_GT(output.size(), std::string(c.prefix).size() + 1) << "no info log after the prefix";
		EXPECT_EQ(output.back(), '\n');
		EXPECT_FALSE(shader.IsReady());
		EXPECT_EQ(shader.GetGLID(), 0u);
		EXPECT_EQ(LiveObjects(), before);
	}
}

TEST_F(ShaderGLTest, LinkLogIsCutTo1023Characters)
{
	// Mesa names the missing function in its link log; a name near the
	// 1024-character identifier limit makes the log longer than the buffer.
	const std::string name = "f" + std::string(1000, 'x');
	const std::string fragment =
		"#version 410 core\nout vec4 color;\nvec4 " + name + "();\nvoid main() { color = " + name + "(); }\n";
	CaptureStdout();
	EXPECT_FALSE(shader.Compile(kVertex, fragment.c_str()));
	const std::string output = GetCapturedStdout();
	const std::string prefix = "Fragment Shader error: ";
	ASSERT_EQ(output.rfind(prefix, 0), 0u) << output;
	if (output.size() < prefix.size() + 1023 + 1)
		GTEST_SKIP() << "this driver's link log is short: " << output;
	EXPECT_EQ(output.size(), prefix.size() + 1023 + 1);
	EXPECT_EQ(output.find('\n'), output.size() - 1) << "the cut log keeps no newline of its own";
}

TEST_F(ShaderGLTest, EmptySourcesAreRefusedWithoutGLWork)
{
	const struct
	{
		const char* label;
		const char* vertex;
		const char* fragment;
	} cases[] = {
		{ "null vertex", nullptr, kFragment },
		{ "empty vertex", "", kFragment },
		{ "null fragment", kVertex, nullptr },
		{ "empty fragment", kVertex, "" },
	};
	const GLBindings bindings = CurrentBindings();
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.label);
		const GLObjectNames before = LiveObjects();
		const GLuint nextBefore = glCreateShader(GL_VERTEX_SHADER);
		glDeleteShader(nextBefore);

		CaptureStdout();
		EXPECT_FALSE(shader.Compile(c.vertex, c.fragment));
		EXPECT_FALSE(shader.Compile(c.vertex, nullptr, c.fragment));
		EXPECT_EQ(GetCapturedStdout(), "");

		// No object was created, not even briefly: the next name GL hands out
		// follows the probe directly (or is the probe's, where names are reused).
		const GLuint nextAfter = glCreateShader(GL_VERTEX_SHADER);
		glDeleteShader(nextAfter);
		EXPECT_LE(nextAfter, nextBefore + 1);
		EXPECT_EQ(LiveObjects(), before);
		EXPECT_FALSE(shader.IsReady());
	}
	EXPECT_EQ(CurrentBindings(), bindings);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

// With a transform-feedback varying the fragment stage may be left out.
TEST_F(ShaderGLTest, VertexOnlyProgramWithTransformFeedbackVarying)
{
	const char* const captureVertex =
		"#version 410 core\nlayout(location = 0) in float value;\nout float doubled;\nvoid main() { doubled = value * 2.0; }\n";
	shader.AddTransformFeedbackVarying("doubled");
	ASSERT_TRUE(shader.Compile(captureVertex, ""));
	const GLuint program = shader.GetGLID();
	EXPECT_EQ(ProgramInteger(program, GL_ATTACHED_SHADERS), 1);
	EXPECT_EQ(ProgramInteger(program, GL_TRANSFORM_FEEDBACK_BUFFER_MODE), GL_INTERLEAVED_ATTRIBS);
	ASSERT_EQ(ProgramInteger(program, GL_TRANSFORM_FEEDBACK_VARYINGS), 1);
	char name[32] = {};
	GLsizei size = 0;
	GLenum type = 0;
	glGetTransformFeedbackVarying(program, 0, sizeof(name), nullptr, &size, &type, name);
	EXPECT_STREQ(name, "doubled");
	EXPECT_EQ(type, static_cast<GLenum>(GL_FLOAT));

	// The varyings outlive FreeGLResources and apply to the next build.
	shader.FreeGLResources();
	ASSERT_TRUE(shader.Compile(captureVertex, nullptr));
	EXPECT_EQ(ProgramInteger(shader.GetGLID(), GL_TRANSFORM_FEEDBACK_VARYINGS), 1);
}

// A second FreeGLResources must not delete objects that have since taken the
// freed names.
TEST_F(ShaderGLTest, FreeGLResourcesTwiceDeletesNothingTheSecondTime)
{
	const GLObjectNames before = LiveObjects();
	ASSERT_TRUE(shader.Compile(kVertex, kGeometry, kFragment));
	const GLuint program = shader.GetGLID();
	shader.FreeGLResources();
	EXPECT_FALSE(shader.IsReady());
	EXPECT_FALSE(glIsProgram(program));
	EXPECT_EQ(LiveObjects(), before);

	const GLuint others[] = { glCreateShader(GL_VERTEX_SHADER), glCreateShader(GL_FRAGMENT_SHADER),
		glCreateShader(GL_GEOMETRY_SHADER), glCreateProgram() };
	const GLObjectNames withOthers = LiveObjects();
	shader.FreeGLResources();
	EXPECT_EQ(LiveObjects(), withOthers);
	for (int i = 0; i < 3; ++i)
		glDeleteShader(others[i]);
	glDeleteProgram(others[3]);

	FFGLShader neverCompiled;
	neverCompiled.FreeGLResources();
	EXPECT_EQ(LiveObjects(), before);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}
