#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <array>
#include <string>

using namespace ffglex;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace
{
const char* const kVertex = "#version 410 core\nin vec4 pos;\nvoid main() { gl_Position = pos; }";
const char* const kFragment =
	"#version 410 core\nuniform float s;\nuniform vec2 p;\nuniform vec3 t;\nuniform vec4 q;\n"
	"uniform int n;\nout vec4 c;\nvoid main() { c = vec4(s + p.y + t.z, q.w, float(n), 1.0); }";
const char* const kGeometry =
	"#version 410 core\nlayout(triangles) in;\nlayout(points, max_vertices = 1) out;\n"
	"void main() { EmitVertex(); }";

GLint ProgramInteger(GLuint program, GLenum name)
{
	GLint value = -1;
	glGetProgramiv(program, name, &value);
	return value;
}
} // namespace

// A good program links silently, with or without a geometry stage, and each
// setter reaches its uniform; an unknown name changes nothing. A second
// FreeGLResources deletes nothing, not even objects that have since taken the
// freed names.
TEST_F(GLFixture, ShaderLinksTakesUniformsAndFreesOnce)
{
	FFGLShader shader;
	EXPECT_EQ(shader.FindUniform("s"), -1);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR)) << "a lookup in program 0";
	CaptureStdout();
	ASSERT_TRUE(shader.Compile(kVertex, kGeometry, kFragment));
	EXPECT_EQ(ProgramInteger(shader.GetGLID(), GL_ATTACHED_SHADERS), 3);
	shader.FreeGLResources();
	const GLuint others[] = { glCreateShader(GL_VERTEX_SHADER), glCreateShader(GL_FRAGMENT_SHADER),
		glCreateShader(GL_GEOMETRY_SHADER), glCreateProgram() };
	const GLObjectNames withOthers = LiveObjects();
	shader.FreeGLResources();
	EXPECT_EQ(LiveObjects(), withOthers);
	for (int i = 0; i < 3; ++i)
		glDeleteShader(others[i]);
	glDeleteProgram(others[3]);

	ASSERT_TRUE(shader.Compile(std::string(kVertex), std::string(kFragment)));
	EXPECT_EQ(GetCapturedStdout(), "");
	const GLuint program = shader.GetGLID();
	EXPECT_EQ(ProgramInteger(program, GL_ATTACHED_SHADERS), 2);
	ScopedShaderBinding binding(program);
	shader.Set("s", 0.25f);
	shader.Set("p", 1.0f, 2.0f);
	shader.Set("t", 3.0f, 4.0f, 5.0f);
	shader.Set("q", 6.0f, 7.0f, 8.0f, 9.0f);
	shader.Set("n", 42);
	shader.Set("absent", 1.0f);
	EXPECT_EQ(shader.FindUniform("absent"), -1);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR)) << "a setter of the wrong type";
	using Floats = std::array<GLfloat, 4>;
	const std::pair<const char*, Floats> uniforms[] = { { "s", { 0.25f } }, { "p", { 1.0f, 2.0f } },
		{ "t", { 3.0f, 4.0f, 5.0f } }, { "q", { 6.0f, 7.0f, 8.0f, 9.0f } }, { "n", { 42.0f } } };
	for (const auto& uniform : uniforms)
	{
		Floats values = {};
		glGetUniformfv(program, shader.FindUniform(uniform.first), values.data());
		EXPECT_EQ(values, uniform.second) << uniform.first;
	}
	binding.EndScope();
	shader.FreeGLResources();

	// With a transform-feedback varying the fragment stage may be left out;
	// the varyings outlive FreeGLResources.
	const GLObjectNames before = LiveObjects();
	shader.AddTransformFeedbackVarying("doubled");
	for (int round = 0; round < 2; ++round)
	{
		ASSERT_TRUE(
			shader.Compile("#version 410 core\nin float v;\nout float doubled;\nvoid main() { doubled = v; }", ""));
		EXPECT_EQ(ProgramInteger(shader.GetGLID(), GL_TRANSFORM_FEEDBACK_BUFFER_MODE), GL_INTERLEAVED_ATTRIBS);
		EXPECT_EQ(ProgramInteger(shader.GetGLID(), GL_TRANSFORM_FEEDBACK_VARYINGS), 1);
		shader.FreeGLResources();
		EXPECT_EQ(LiveObjects(), before);
	}
}

// Each failure writes exactly one line, its prefix followed by the driver's
// log, and leaves no shader or program object behind. Empty sources are
// refused before any GL work, silently. A link log longer than the buffer is
// cut to 1023 characters.
TEST_F(GLFixture, ShaderFailuresLogOneLineAndLeaveNothingAlive)
{
	// Mesa names the missing function in its link log; a name near the
	// identifier limit makes the log longer than the buffer.
	const std::string name = "f" + std::string(1000, 'x');
	const std::string unlinkable =
		"#version 410 core\nout vec4 c;\nvec4 " + name + "();\nvoid main() { c = " + name + "(); }";
	const char* const broken = "#version 410 core\nvoid main() { broken }";
	const struct
	{
		const char *vertex, *geometry, *fragment, *prefix;
	} cases[] = {
		{ broken, nullptr, kFragment, "Vertex Shader error: " },
		{ kVertex, broken, kFragment, "Geometry Shader error: " },
		{ kVertex, nullptr, broken, "Fragment Shader error: " },
		{ kVertex, kGeometry, unlinkable.c_str(), "Fragment Shader error: " },
		{ nullptr, nullptr, kFragment, "" },
		{ kVertex, nullptr, "", "" },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.fragment);
		FFGLShader shader;
		const GLObjectNames before = LiveObjects();
		CaptureStdout();
		EXPECT_FALSE(shader.Compile(c.vertex, c.geometry, c.fragment));
		const std::string output = GetCapturedStdout(), prefix = c.prefix;
		EXPECT_EQ(shader.IsReady() || shader.GetGLID() != 0, false);
		EXPECT_EQ(LiveObjects(), before);
		EXPECT_EQ(output.rfind(prefix, 0), 0u) << output;
		EXPECT_EQ(output.find("Shader error: ", prefix.size()), std::string::npos) << "two messages: " << output;
		EXPECT_EQ(output.size() > prefix.size() + 1, !prefix.empty()) << "no info log after the prefix";
		EXPECT_LE(output.size(), prefix.size() + 1023 + 1);
		EXPECT_EQ(output.empty() || output.back() == '\n', true);
	}
	EXPECT_FALSE(FFGLShader().CompileFragmentShader(nullptr)) << "a stage without a source";
}
