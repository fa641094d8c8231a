#include "tests/support/GLFixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

namespace
{
// One context for the whole process: creating a context per test would cost
// far more than the tests themselves. It is never destroyed; the process exit
// takes it down.
struct SharedContext
{
	bool attempted = false;
	std::unique_ptr<HeadlessGL> gl;
	std::string error;
};

SharedContext& Shared()
{
	static SharedContext shared;
	return shared;
}

bool RunningUnderCI()
{
	const char* ci = std::getenv("CI");
	return ci != nullptr && std::strcmp(ci, "true") == 0;
}

GLint GetInteger(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}
} // namespace

bool GLBindings::operator==(const GLBindings& other) const
{
	const auto tie = [](const GLBindings& b)
	{
		return std::tie(b.program, b.activeTexture, b.texture2D, b.arrayBuffer, b.elementArrayBuffer, b.uniformBuffer,
			b.vertexArray, b.renderbuffer, b.drawFramebuffer, b.readFramebuffer);
	};
	return tie(*this) == tie(other);
}

void PrintTo(const GLBindings& bindings, std::ostream* os)
{
	*os << "{program " << bindings.program << ", active unit " << (bindings.activeTexture - GL_TEXTURE0)
		<< ", texture2D " << bindings.texture2D << ", array buffer " << bindings.arrayBuffer
		<< ", element array buffer " << bindings.elementArrayBuffer << ", uniform buffer " << bindings.uniformBuffer
		<< ", vertex array " << bindings.vertexArray << ", renderbuffer " << bindings.renderbuffer
		<< ", draw framebuffer " << bindings.drawFramebuffer << ", read framebuffer " << bindings.readFramebuffer
		<< "}";
}

bool GLObjectNames::operator==(const GLObjectNames& other) const
{
	const auto tie = [](const GLObjectNames& n)
	{ return std::tie(n.shaders, n.programs, n.buffers, n.textures, n.vertexArrays, n.framebuffers, n.renderbuffers); };
	return tie(*this) == tie(other);
}

void PrintTo(const GLObjectNames& names, std::ostream* os)
{
	const auto list = [os](const char* kind, const std::vector<GLuint>& values)
	{
		*os << kind << " {";
		for (std::size_t i = 0; i < values.size(); ++i)
			*os << (i == 0 ? "" : " ") << values[i];
		*os << "}";
	};
	list("shaders", names.shaders);
	list(", programs", names.programs);
	list(", buffers", names.buffers);
	list(", textures", names.textures);
	list(", vertex arrays", names.vertexArrays);
	list(", framebuffers", names.framebuffers);
	list(", renderbuffers", names.renderbuffers);
}

void GLFixture::SetUp()
{
	SharedContext& shared = Shared();
	if (!shared.attempted)
	{
		shared.attempted = true;
		shared.gl = HeadlessGL::Create(&shared.error);
		if (shared.gl)
			std::printf("Headless GL: %s, OpenGL %s\n", shared.gl->Renderer().c_str(), shared.gl->Version().c_str());
	}
	if (!shared.gl)
	{
		const std::string message = "no headless OpenGL 4.1 core context: " + shared.error;
		if (RunningUnderCI())
			GTEST_FAIL() << message << " (CI=true: GL tests must run)";
		GTEST_SKIP() << message;
	}
	ASSERT_TRUE(shared.gl->MakeCurrent()) << "eglMakeCurrent failed";

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

	hostOutput = shared.gl->CreateHostFramebuffer(kOutputWidth, kOutputHeight);
	ASSERT_TRUE(hostOutput.IsValid()) << "could not create the host output framebuffer";
}

void GLFixture::TearDown()
{
	if (hostOutput.IsValid() && Context() != nullptr)
	{
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		HeadlessGL::DeleteHostFramebuffer(hostOutput);
	}
}

HeadlessGL* GLFixture::Context()
{
	return Shared().gl.get();
}

GLBindings GLFixture::CurrentBindings()
{
	GLBindings bindings;
	bindings.program = GetInteger(GL_CURRENT_PROGRAM);
	bindings.activeTexture = GetInteger(GL_ACTIVE_TEXTURE);
	bindings.texture2D = GetInteger(GL_TEXTURE_BINDING_2D);
	bindings.arrayBuffer = GetInteger(GL_ARRAY_BUFFER_BINDING);
	bindings.elementArrayBuffer = GetInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING);
	bindings.uniformBuffer = GetInteger(GL_UNIFORM_BUFFER_BINDING);
	bindings.vertexArray = GetInteger(GL_VERTEX_ARRAY_BINDING);
	bindings.renderbuffer = GetInteger(GL_RENDERBUFFER_BINDING);
	bindings.drawFramebuffer = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
	bindings.readFramebuffer = GetInteger(GL_READ_FRAMEBUFFER_BINDING);
	return bindings;
}

GLObjectNames GLFixture::LiveObjects()
{
	// Scan up to past the highest name GL hands out now, with a margin for an
	// allocator that reuses freed names. The probes are deleted again.
	const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
	const GLuint program = glCreateProgram();
	glDeleteShader(shader);
	glDeleteProgram(program);
	GLuint highest = std::max(shader, program);
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

	const std::pair<GLboolean (*)(GLuint), std::vector<GLuint> GLObjectNames::*> kinds[] = {
		{ glIsShader, &GLObjectNames::shaders }, { glIsProgram, &GLObjectNames::programs },
		{ glIsBuffer, &GLObjectNames::buffers }, { glIsTexture, &GLObjectNames::textures },
		{ glIsVertexArray, &GLObjectNames::vertexArrays }, { glIsFramebuffer, &GLObjectNames::framebuffers },
		{ glIsRenderbuffer, &GLObjectNames::renderbuffers }
	};
	GLObjectNames names;
	for (GLuint n = 1; n <= highest + 256; ++n)
		for (const auto& kind : kinds)
			if (kind.first(n))
				(names.*kind.second).push_back(n);
	return names;
}

GLenum GLFixture::TakeGLError()
{
	GLenum first = GL_NO_ERROR;
	// Bounded: a lost context may report an error forever.
	for (int i = 0; i < 64; ++i)
	{
		const GLenum error = glGetError();
		if (error == GL_NO_ERROR)
			break;
		if (first == GL_NO_ERROR)
			first = error;
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
	const bool hasData = rgba.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u;
	glTexImage2D(
		GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, hasData ? rgba.data() : nullptr);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
	glBindTexture(GL_TEXTURE_2D, 0);
	return texture;
}

std::vector<std::uint8_t> GLFixture::ReadPixels(GLint x, GLint y, GLint width, GLint height)
{
	if (width <= 0 || height <= 0)
		return {};
	std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u);
	glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	return pixels;
}

RGBA8 GLFixture::ReadPixel(GLint x, GLint y)
{
	const std::vector<std::uint8_t> pixel = ReadPixels(x, y, 1, 1);
	return { pixel[0], pixel[1], pixel[2], pixel[3] };
}
