#include "tests/support/GLFixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace
{
// One context for the whole process, made on first use: a context per test
// would cost far more than the tests themselves. The process exit takes it down.
std::string s_contextError;
HeadlessGL* SharedContext()
{
	static const std::unique_ptr<HeadlessGL> gl = HeadlessGL::Create(&s_contextError);
	return gl.get();
}
} // namespace

void GLFixture::SetUp()
{
	HeadlessGL* gl = SharedContext();
	if (gl == nullptr)
	{
		if (OnCI())
			GTEST_FAIL() << "no headless OpenGL 4.1 core context: " << s_contextError
						 << " (CI=true: GL tests must run)";
		GTEST_SKIP() << "no headless OpenGL 4.1 core context: " << s_contextError;
	}
	ASSERT_TRUE(gl->MakeCurrent()) << "eglMakeCurrent failed";
	RecordProperty("gl_renderer", gl->Renderer() + ", OpenGL " + gl->Version());

	// Start every test from the defaults, whatever an earlier test left bound.
	glUseProgram(0);
	for (GLint unit = 0; unit < 4; ++unit)
	{
		glActiveTexture(GL_TEXTURE0 + unit);
		glBindTexture(GL_TEXTURE_2D, 0);
	}
	glActiveTexture(GL_TEXTURE0);
	glBindVertexArray(0);
	glBindBuffer(GL_ARRAY_BUFFER, 0);
	glBindBuffer(GL_UNIFORM_BUFFER, 0);
	glBindRenderbuffer(GL_RENDERBUFFER, 0);
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	TakeGLError();

	hostOutput = gl->CreateHostFramebuffer(kOutputWidth, kOutputHeight);
	ASSERT_TRUE(hostOutput.IsValid()) << "could not create the host output framebuffer";
}

void GLFixture::TearDown()
{
	if (hostOutput.IsValid()) // made only on a current context
	{
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		HeadlessGL::DeleteHostFramebuffer(hostOutput);
	}
}

bool GLFixture::OnCI()
{
	const char* ci = std::getenv("CI");
	return ci != nullptr && std::strcmp(ci, "true") == 0;
}

GLBindings GLFixture::CurrentBindings()
{
	const std::pair<const char*, GLenum> queries[] = { { "program", GL_CURRENT_PROGRAM },
		{ "active texture", GL_ACTIVE_TEXTURE }, { "texture2D", GL_TEXTURE_BINDING_2D },
		{ "array buffer", GL_ARRAY_BUFFER_BINDING }, { "element array buffer", GL_ELEMENT_ARRAY_BUFFER_BINDING },
		{ "uniform buffer", GL_UNIFORM_BUFFER_BINDING }, { "vertex array", GL_VERTEX_ARRAY_BINDING },
		{ "renderbuffer", GL_RENDERBUFFER_BINDING }, { "draw framebuffer", GL_DRAW_FRAMEBUFFER_BINDING },
		{ "read framebuffer", GL_READ_FRAMEBUFFER_BINDING } };
	GLBindings bindings;
	for (const auto& [name, query] : queries)
		glGetIntegerv(query, &bindings[name]);
	return bindings;
}

GLObjectNames GLFixture::LiveObjects()
{
	// Scan past the highest name GL hands out now, with a margin for an
	// allocator that reuses freed names. Shaders and programs share names; the
	// probes are deleted again.
	GLuint highest = glCreateProgram();
	glDeleteProgram(highest);
	const std::pair<void (*)(GLsizei, GLuint*), void (*)(GLsizei, const GLuint*)> generators[] = {
		{ glGenBuffers, glDeleteBuffers }, { glGenTextures, glDeleteTextures },
		{ glGenVertexArrays, glDeleteVertexArrays }, { glGenFramebuffers, glDeleteFramebuffers },
		{ glGenRenderbuffers, glDeleteRenderbuffers }
	};
	for (const auto& generator : generators)
	{
		GLuint name = 0;
		generator.first(1, &name);
		generator.second(1, &name);
		highest = std::max(highest, name);
	}

	const std::pair<GLboolean (*)(GLuint), const char*> kinds[] = { { glIsShader, "shader" },
		{ glIsProgram, "program" }, { glIsBuffer, "buffer" }, { glIsTexture, "texture" },
		{ glIsVertexArray, "vertex array" }, { glIsFramebuffer, "framebuffer" }, { glIsRenderbuffer, "renderbuffer" } };
	GLObjectNames names;
	for (const auto& kind : kinds)
		for (GLuint n = 1; n <= highest + 256; ++n)
			if (kind.first(n))
				names.push_back(kind.second + (" " + std::to_string(n)));
	return names;
}

GLenum GLFixture::TakeGLError()
{
	const GLenum first = glGetError();
	// Bounded: a lost context may report an error forever.
	for (int i = 0; first != GL_NO_ERROR && i < 64 && glGetError() != GL_NO_ERROR; ++i)
	{
	}
	return first;
}

// RGBA8 rows are whole multiples of 4 bytes, so the default pack and unpack
// alignment of 4 fits every width.
GLuint GLFixture::MakeRGBA8Texture(GLint width, GLint height, const std::vector<std::uint8_t>& rgba)
{
	GLuint texture = 0;
	glGenTextures(1, &texture);
	glBindTexture(GL_TEXTURE_2D, texture);
	const bool full = rgba.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u;
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, full ? rgba.data() : nullptr);
	for (GLenum filter : { GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER })
		glTexParameteri(GL_TEXTURE_2D, filter, GL_NEAREST);
	for (GLenum wrap : { GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T })
		glTexParameteri(GL_TEXTURE_2D, wrap, GL_CLAMP_TO_EDGE);
	glBindTexture(GL_TEXTURE_2D, 0);
	return texture;
}

std::vector<std::uint8_t> GLFixture::ReadPixels(GLint x, GLint y, GLint width, GLint height)
{
	std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u);
	glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	return pixels;
}

RGBA8 GLFixture::ReadPixel(GLint x, GLint y)
{
	const std::vector<std::uint8_t> pixel = ReadPixels(x, y, 1, 1);
	return { pixel[0], pixel[1], pixel[2], pixel[3] };
}
