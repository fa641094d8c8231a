#include "tests/support/GLFixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
	return program == other.program && activeTexture == other.activeTexture && texture2D == other.texture2D &&
		arrayBuffer == other.arrayBuffer && elementArrayBuffer == other.elementArrayBuffer &&
		uniformBuffer == other.uniformBuffer && vertexArray == other.vertexArray &&
		renderbuffer == other.renderbuffer && drawFramebuffer == other.drawFramebuffer &&
		readFramebuffer == other.readFramebuffer;
}

void PrintTo(const GLBindings& bindings, std::ostream* os)
{
	*os << "{program " << bindings.program << ", active unit " << (bindings.activeTexture - GL_TEXTURE0)
		<< ", texture2D " << bindings.texture2D << ", array buffer " << bindings.arrayBuffer
		<< ", element array buffer " << bindings.elementArrayBuffer << ", uniform buffer "
		<< bindings.uniformBuffer << ", vertex array " << bindings.vertexArray << ", renderbuffer "
		<< bindings.renderbuffer << ", draw framebuffer " << bindings.drawFramebuffer << ", read framebuffer "
		<< bindings.readFramebuffer << "}";
}

bool GLObjectNames::operator==(const GLObjectNames& other) const
{
	return shaders == other.shaders && programs == other.programs && buffers == other.buffers &&
		textures == other.textures && vertexArrays == other.vertexArrays && framebuffers == other.framebuffers &&
		renderbuffers == other.renderbuffers;
}

void PrintTo(const GLObjectNames& names, std::ostream* os)
{
	const auto list = [os](const char* kind, const std::vector<GLuint>& values) {
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
	GLuint highest = 0;
	const auto probe = [&highest](GLuint name) { highest = name > highest ? name : highest; };
	GLuint name = glCreateShader(GL_VERTEX_SHADER);
	probe(name);
	glDeleteShader(name);
	name = glCreateProgram();
	probe(name);
	glDeleteProgram(name);
	glGenBuffers(1, &name);
	probe(name);
	glDeleteBuffers(1, &name);
	glGenTextures(1, &name);
	probe(name);
	glDeleteTextures(1, &name);
	glGenVertexArrays(1, &name);
	probe(name);
	glDeleteVertexArrays(1, &name);
	glGenFramebuffers(1, &name);
	probe(name);
	glDeleteFramebuffers(1, &name);
	glGenRenderbuffers(1, &name);
	probe(name);
	glDeleteRenderbuffers(1, &name);
	const GLuint limit = highest + 256;

	GLObjectNames names;
	for (GLuint n = 1; n <= limit; ++n)
	{
		if (glIsShader(n))
			names.shaders.push_back(n);
		if (glIsProgram(n))
			names.programs.push_back(n);
		if (glIsBuffer(n))
			names.buffers.push_back(n);
		if (glIsTexture(n))
			names.textures.push_back(n);
		if (glIsVertexArray(n))
			names.vertexArrays.push_back(n);
		if (glIsFramebuffer(n))
			names.framebuffers.push_back(n);
		if (glIsRenderbuffer(n))
			names.renderbuffers.push_back(n);
	}
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

GLuint GLFixture::MakeRGBA8Texture(GLint width, GLint height, const std::vector<std::uint8_t>& rgba)
{
	GLint previousUnpackAlignment = 4;
	glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousUnpackAlignment);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

	GLuint texture = 0;
	glGenTextures(1, &texture);
	glBindTexture(GL_TEXTURE_2D, texture);
	const bool hasData = rgba.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u;
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
		hasData ? rgba.data() : nullptr);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
	glBindTexture(GL_TEXTURE_2D, 0);

	glPixelStorei(GL_UNPACK_ALIGNMENT, previousUnpackAlignment);
	return texture;
}

std::vector<std::uint8_t> GLFixture::ReadPixels(GLint x, GLint y, GLint width, GLint height)
{
	if (width <= 0 || height <= 0)
		return {};
	std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u);
	GLint previousPackAlignment = 4;
	glGetIntegerv(GL_PACK_ALIGNMENT, &previousPackAlignment);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	glPixelStorei(GL_PACK_ALIGNMENT, previousPackAlignment);
	return pixels;
}

RGBA8 GLFixture::ReadPixel(GLint x, GLint y)
{
	const std::vector<std::uint8_t> pixel = ReadPixels(x, y, 1, 1);
	return { pixel[0], pixel[1], pixel[2], pixel[3] };
}
