#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLShader.h"
#include "tests/support/GLFixture.h"

#include <memory>
#include <type_traits>

using namespace ffglex;

namespace
{
template <typename Scope>
constexpr bool kPinned = !std::is_copy_constructible<Scope>::value && !std::is_move_assignable<Scope>::value;
static_assert(kPinned<ScopedVBOBinding> && kPinned<ScopedFBOBinding>, "a copied scope would unbind twice");

GLint Query(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

template <typename Scope>
std::shared_ptr<ScopedBinding> Open(GLuint name)
{
	return std::make_shared<Scope>(name);
}
} // namespace

// One scope class per GL call the shared implementation makes (classes that
// differ only in their target share every branch). Ending returns the state to
// its default (0, unit 0), not to what was bound before, also for the inner of
// two nested scopes; EndScope followed by destruction unbinds once; name 0
// still unbinds at the end.
TEST_F(GLFixture, EveryScopeEndsAtTheDefaultExactlyOnce)
{
	// One name of each kind, in the order of the rows below.
	GLuint names[6] = { 0, 0, 0, 5 };
	glGenBuffers(1, &names[0]);
	glGenTextures(1, &names[1]);
	glGenVertexArrays(1, &names[4]);
	glGenRenderbuffers(1, &names[5]);
	FFGLShader shader; // glUseProgram accepts only linked programs
	ASSERT_TRUE(shader.Compile("#version 410 core\nvoid main() { gl_Position = vec4(0.0); }",
		"#version 410 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }"));
	names[2] = shader.GetGLID();
	const std::pair<std::shared_ptr<ScopedBinding> (*)(GLuint), GLenum> kinds[] = {
		{ Open<ScopedVBOBinding>, GL_ARRAY_BUFFER_BINDING },
		{ Open<Scoped2DTextureBinding>, GL_TEXTURE_BINDING_2D },
		{ Open<ScopedShaderBinding>, GL_CURRENT_PROGRAM },
		{ Open<ScopedSamplerActivation>, GL_ACTIVE_TEXTURE }, // the query reports GL_TEXTURE0 + unit
		{ Open<ScopedVAOBinding>, GL_VERTEX_ARRAY_BINDING },
		{ Open<ScopedRenderBufferBinding>, GL_RENDERBUFFER_BINDING },
	};
	for (int row = 0; row < 6; ++row)
	{
		const GLenum query = kinds[row].second;
		const GLint name = GLint(names[row]);
		SCOPED_TRACE(query);
		const auto open = kinds[row].first;
		const auto bound = [query] { return Query(query) - (query == GL_ACTIVE_TEXTURE ? GL_TEXTURE0 : 0); };
		auto outer = open(name);
		EXPECT_EQ(bound(), name);
		open(name).reset();
		EXPECT_EQ(bound(), 0) << "the inner scope's end";
		outer->EndScope();
		const auto other = open(name);
		outer.reset();
		EXPECT_EQ(bound(), name) << "the destructor unbound after EndScope";
		auto zero = open(0);
		const auto last = open(name);
		zero.reset();
		EXPECT_EQ(bound(), 0);
	}
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	glDeleteBuffers(1, &names[0]);
	glDeleteTextures(1, &names[1]);
	glDeleteVertexArrays(1, &names[4]);
	glDeleteRenderbuffers(1, &names[5]);
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
		glBindFramebuffer(GL_DRAW_FRAMEBUFFER, names[0]);
		glBindFramebuffer(GL_READ_FRAMEBUFFER, names[1]);
		{
			ScopedFBOBinding scope(names[2], static_cast<ScopedFBOBinding::RestoreBehaviour>(behaviour));
			EXPECT_EQ(bound(), pair(names[2], names[2]));
			scope.EndScope();
			EXPECT_EQ(bound(), behaviour == 1u ? pair(names[0], names[1]) : pair(0, 0));
			glBindFramebuffer(GL_FRAMEBUFFER, names[2]);
			scope.EndScope();
		}
		EXPECT_EQ(bound(), pair(names[2], names[2])) << "EndScope or the destructor rebound";
	}
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glDeleteFramebuffers(3, names);
}
