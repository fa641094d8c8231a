#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <functional>
#include <memory>
#include <type_traits>

using namespace ffglex;

namespace
{
template <typename Scope>
constexpr bool kPinned = !std::is_copy_constructible<Scope>::value && !std::is_move_constructible<Scope>::value &&
	!std::is_copy_assignable<Scope>::value && !std::is_move_assignable<Scope>::value;
static_assert(kPinned<ScopedVBOBinding> && kPinned<ScopedSamplerActivation> && kPinned<ScopedFBOBinding>,
	"a copied or moved scope would unbind twice, or early");

GLint Query(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

template <typename Scope, typename... Target>
std::function<std::shared_ptr<ScopedBinding>(GLuint)> Opener(Target... target)
{
	return [=](GLuint name) { return std::make_shared<Scope>(target..., name); };
}
} // namespace

// For every scope class: ending returns the state to its default (0, unit 0),
// not to what was bound before, also for the inner of two nested scopes;
// EndScope followed by destruction unbinds once; name 0 still unbinds at the
// end. The kind's own GL call binds what the scope would have bound.
TEST_F(GLFixture, EveryScopeEndsAtTheDefaultExactlyOnce)
{
	// A texture keeps the target it was first bound to: 3D and 2D get their own.
	GLuint buffers[4], textures[8], arrays[4], renderbuffers[4], programs[4], units[4] = { 1, 2, 3, 5 };
	glGenBuffers(4, buffers);
	glGenTextures(8, textures);
	glGenVertexArrays(4, arrays);
	glGenRenderbuffers(4, renderbuffers);
	FFGLShader shaders[4]; // glUseProgram accepts only linked programs
	for (int i = 0; i < 4; ++i)
	{
		ASSERT_TRUE(shaders[i].Compile("#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n",
			"#version 410 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }\n"));
		programs[i] = shaders[i].GetGLID();
	}
	const struct
	{
		std::function<std::shared_ptr<ScopedBinding>(GLuint)> open;
		BindingKind kind;
		GLenum target, query;
		const GLuint* names;
		GLint offset; // what the query reports for name 0
	} kinds[] = {
		{ Opener<ScopedBufferBinding>(GLenum(GL_PIXEL_UNPACK_BUFFER)), BindingKind::Buffer, GL_PIXEL_UNPACK_BUFFER,
			GL_PIXEL_UNPACK_BUFFER_BINDING, buffers, 0 },
		{ Opener<ScopedVBOBinding>(), BindingKind::Buffer, GL_ARRAY_BUFFER, GL_ARRAY_BUFFER_BINDING, buffers, 0 },
		{ Opener<ScopedIBOBinding>(), BindingKind::Buffer, GL_ELEMENT_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER_BINDING,
			buffers, 0 },
		{ Opener<ScopedUBOBinding>(), BindingKind::Buffer, GL_UNIFORM_BUFFER, GL_UNIFORM_BUFFER_BINDING, buffers, 0 },
		{ Opener<ScopedTextureBinding>(GLenum(GL_TEXTURE_3D)), BindingKind::Texture, GL_TEXTURE_3D,
			GL_TEXTURE_BINDING_3D, textures, 0 },
		{ Opener<Scoped2DTextureBinding>(), BindingKind::Texture, GL_TEXTURE_2D, GL_TEXTURE_BINDING_2D, textures + 4,
			0 },
		{ Opener<ScopedShaderBinding>(), BindingKind::Program, 0, GL_CURRENT_PROGRAM, programs, 0 },
		{ Opener<ScopedSamplerActivation>(), BindingKind::TextureUnit, 0, GL_ACTIVE_TEXTURE, units, GL_TEXTURE0 },
		{ Opener<ScopedVAOBinding>(), BindingKind::VertexArray, 0, GL_VERTEX_ARRAY_BINDING, arrays, 0 },
		{ Opener<ScopedRenderBufferBinding>(), BindingKind::Renderbuffer, GL_RENDERBUFFER, GL_RENDERBUFFER_BINDING,
			renderbuffers, 0 },
	};
	for (const auto& k : kinds)
	{
		SCOPED_TRACE(k.query);
		const auto bound = [&k] { return Query(k.query) - k.offset; };
		auto outer = k.open(k.names[1]);
		EXPECT_EQ(bound(), GLint(k.names[1]));
		k.open(k.names[2]).reset();
		EXPECT_EQ(bound(), 0) << "the inner scope's end";
		outer->EndScope();
		ScopedBinding::Bind(k.kind, k.target, k.names[3]);
		outer.reset();
		EXPECT_EQ(bound(), GLint(k.names[3])) << "the destructor unbound after EndScope";
		auto zero = k.open(0);
		ScopedBinding::Bind(k.kind, k.target, k.names[3]);
		zero.reset();
		EXPECT_EQ(bound(), 0);
	}
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	glDeleteBuffers(4, buffers);
	glDeleteTextures(8, textures);
	glDeleteVertexArrays(4, arrays);
	glDeleteRenderbuffers(4, renderbuffers);
	for (FFGLShader& shader : shaders)
		shader.FreeGLResources();
}

// A host may leave distinct draw and read framebuffers bound. The scope binds
// its own for both, and at its end restores the pair (RestorePrevious) or
// leaves 0 (UnbindOnEnd, and any other value), once.
TEST_F(GLFixture, FBOBindingEndsAtTheSavedPairOrZeroByBehaviour)
{
	GLuint names[3] = {};
	glGenFramebuffers(3, names);
	const auto bound = []
	{ return std::make_pair(Query(GL_DRAW_FRAMEBUFFER_BINDING), Query(GL_READ_FRAMEBUFFER_BINDING)); };
	const auto pair = [](GLuint draw, GLuint read) { return std::make_pair(GLint(draw), GLint(read)); };
	for (std::uint32_t behaviour : { 1u, 0u, 7u }) // RestorePrevious, UnbindOnEnd, neither
	{
		SCOPED_TRACE(behaviour);
		const bool restores = behaviour == ScopedFBOBinding::RestorePrevious;
		glBindFramebuffer(GL_DRAW_FRAMEBUFFER, names[0]);
		glBindFramebuffer(GL_READ_FRAMEBUFFER, names[1]);
		{
			ScopedFBOBinding scope(names[2], static_cast<ScopedFBOBinding::RestoreBehaviour>(behaviour));
			EXPECT_EQ(bound(), pair(names[2], names[2]));
			scope.EndScope();
			EXPECT_EQ(bound(), restores ? pair(names[0], names[1]) : pair(0, 0));
			glBindFramebuffer(GL_FRAMEBUFFER, names[2]);
			scope.EndScope();
		}
		EXPECT_EQ(bound(), pair(names[2], names[2])) << "EndScope or the destructor rebound";
	}
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glDeleteFramebuffers(3, names);
}
