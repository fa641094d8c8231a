#include "ffglex/FFGLScopedBindings.h"
#include "tests/support/GLFixture.h"

#include <memory>
#include <type_traits>

using namespace ffglex;

namespace
{
template <typename Scope>
constexpr bool kPinned = !std::is_copy_constructible<Scope>::value && !std::is_copy_assignable<Scope>::value &&
	!std::is_move_constructible<Scope>::value && !std::is_move_assignable<Scope>::value;
static_assert(kPinned<ScopedBufferBinding> && kPinned<ScopedVBOBinding> && kPinned<ScopedIBOBinding> &&
		kPinned<ScopedUBOBinding> && kPinned<ScopedTextureBinding> && kPinned<Scoped2DTextureBinding> &&
		kPinned<ScopedShaderBinding> && kPinned<ScopedSamplerActivation> && kPinned<ScopedVAOBinding> &&
		kPinned<ScopedRenderBufferBinding> && kPinned<ScopedFBOBinding>,
	"a copied or moved scope would unbind twice, or early");

GLint Query(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

template <void (*kGenerate)(GLsizei, GLuint*)>
GLuint Generate()
{
	GLuint name = 0;
	kGenerate(1, &name);
	return name;
}
// glUseProgram accepts only linked programs.
GLuint LinkedProgram()
{
	const char* const sources[2] = { "#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n",
		"#version 410 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }\n" };
	const GLenum types[2] = { GL_VERTEX_SHADER, GL_FRAGMENT_SHADER };
	const GLuint program = glCreateProgram();
	for (int i = 0; i < 2; ++i)
	{
		const GLuint stage = glCreateShader(types[i]);
		glShaderSource(stage, 1, &sources[i], nullptr);
		glCompileShader(stage);
		glAttachShader(program, stage);
		glDeleteShader(stage);
	}
	glLinkProgram(program);
	return program;
}
// The "objects" of a sampler activation are texture unit indices.
GLuint NextUnit()
{
	static GLuint next = 1;
	next = next % 7 + 1;
	return next;
}

template <GLenum kTarget>
void BindBuffer(GLuint name)
{
	glBindBuffer(kTarget, name);
}
template <GLenum kTarget>
void BindTexture(GLuint name)
{
	glBindTexture(kTarget, name);
}
void UseProgram(GLuint name)
{
	glUseProgram(name);
}
void ActivateUnit(GLuint unit)
{
	glActiveTexture(GL_TEXTURE0 + unit);
}
void BindVertexArray(GLuint name)
{
	glBindVertexArray(name);
}
void BindRenderbuffer(GLuint name)
{
	glBindRenderbuffer(GL_RENDERBUFFER, name);
}

// One scope class: how to open it (with the leading target argument, if any),
// how to make something it binds, how to bind that without the scope, and what
// glGetIntegerv reports: kOffset + name, so kOffset when at the default.
template <typename S, GLenum kQuery, void (*kBind)(GLuint), GLuint (*kMake)(), GLint kOffset, GLenum... kTarget>
struct Kind
{
	static std::unique_ptr<S> Open(GLuint name) { return std::make_unique<S>(kTarget..., name); }
	static void BindDirectly(GLuint name) { kBind(name); }
	static GLint Bound() { return Query(kQuery) - kOffset; }
	static GLuint Make() { return kMake(); }
};

template <typename K>
class ScopeGLTest : public GLFixture
{
};
using ScopeKinds =
	::testing::Types<Kind<ScopedBufferBinding, GL_PIXEL_UNPACK_BUFFER_BINDING, BindBuffer<GL_PIXEL_UNPACK_BUFFER>,
						 Generate<glGenBuffers>, 0, GL_PIXEL_UNPACK_BUFFER>,
		Kind<ScopedVBOBinding, GL_ARRAY_BUFFER_BINDING, BindBuffer<GL_ARRAY_BUFFER>, Generate<glGenBuffers>, 0>,
		Kind<ScopedIBOBinding, GL_ELEMENT_ARRAY_BUFFER_BINDING, BindBuffer<GL_ELEMENT_ARRAY_BUFFER>,
			Generate<glGenBuffers>, 0>,
		Kind<ScopedUBOBinding, GL_UNIFORM_BUFFER_BINDING, BindBuffer<GL_UNIFORM_BUFFER>, Generate<glGenBuffers>, 0>,
		Kind<ScopedTextureBinding, GL_TEXTURE_BINDING_3D, BindTexture<GL_TEXTURE_3D>, Generate<glGenTextures>, 0,
			GL_TEXTURE_3D>,
		Kind<Scoped2DTextureBinding, GL_TEXTURE_BINDING_2D, BindTexture<GL_TEXTURE_2D>, Generate<glGenTextures>, 0>,
		Kind<ScopedShaderBinding, GL_CURRENT_PROGRAM, UseProgram, LinkedProgram, 0>,
		Kind<ScopedSamplerActivation, GL_ACTIVE_TEXTURE, ActivateUnit, NextUnit, GL_TEXTURE0>,
		Kind<ScopedVAOBinding, GL_VERTEX_ARRAY_BINDING, BindVertexArray, Generate<glGenVertexArrays>, 0>,
		Kind<ScopedRenderBufferBinding, GL_RENDERBUFFER_BINDING, BindRenderbuffer, Generate<glGenRenderbuffers>, 0>>;
struct ScopeKindName
{
	template <typename K>
	static std::string GetName(int index)
	{
		static const char* const names[] = { "Buffer", "VBO", "IBO", "UBO", "Texture", "2DTexture", "Shader",
			"SamplerActivation", "VAO", "RenderBuffer" };
		return names[index];
	}
};
TYPED_TEST_SUITE(ScopeGLTest, ScopeKinds, ScopeKindName);
} // namespace

// Ending a scope returns to the default (0), not to what was bound before it,
// also for the inner one of two nested scopes; EndScope followed by
// destruction unbinds once, so what was bound in between survives; name 0
// binds the default and still unbinds at the end.
TYPED_TEST(ScopeGLTest, EndsAtTheDefaultExactlyOnce)
{
	using K = TypeParam;
	const GLuint before = K::Make(), outerName = K::Make(), innerName = K::Make(), between = K::Make();
	K::BindDirectly(before);
	ASSERT_EQ(K::Bound(), static_cast<GLint>(before));

	auto outer = K::Open(outerName);
	EXPECT_EQ(K::Bound(), static_cast<GLint>(outerName));
	{
		auto inner = K::Open(innerName);
		EXPECT_EQ(K::Bound(), static_cast<GLint>(innerName));
	}
	EXPECT_EQ(K::Bound(), 0) << "the inner scope's end";
	K::BindDirectly(outerName);
	outer->EndScope();
	EXPECT_EQ(K::Bound(), 0);
	K::BindDirectly(between);
	outer->EndScope();
	outer.reset();
	EXPECT_EQ(K::Bound(), static_cast<GLint>(between)) << "EndScope or the destructor unbound a second time";

	auto zero = K::Open(0);
	EXPECT_EQ(K::Bound(), 0);
	K::BindDirectly(between);
	zero.reset();
	EXPECT_EQ(K::Bound(), 0);
	EXPECT_EQ(GLFixture::TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A host may leave distinct draw and read framebuffers bound. The scope binds
// its own for both, and at its end restores the pair (RestorePrevious) or
// leaves 0 (UnbindOnEnd, and any other value), once.
TEST_F(GLFixture, FBOBindingEndsAtTheSavedPairOrZeroByBehaviour)
{
	GLuint names[3] = {};
	glGenFramebuffers(3, names);
	const auto expectBound = [](GLuint draw, GLuint read)
	{
		EXPECT_EQ(Query(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(draw));
		EXPECT_EQ(Query(GL_READ_FRAMEBUFFER_BINDING), static_cast<GLint>(read));
	};
	const struct
	{
		const char* label;
		ScopedFBOBinding::RestoreBehaviour behaviour;
		bool restores;
	} cases[] = {
		{ "RestorePrevious", ScopedFBOBinding::RestorePrevious, true },
		{ "UnbindOnEnd", ScopedFBOBinding::UnbindOnEnd, false },
		{ "unknown value 7", static_cast<ScopedFBOBinding::RestoreBehaviour>(7), false },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.label);
		glBindFramebuffer(GL_DRAW_FRAMEBUFFER, names[0]);
		glBindFramebuffer(GL_READ_FRAMEBUFFER, names[1]);
		{
			ScopedFBOBinding scope(names[2], c.behaviour);
			expectBound(names[2], names[2]);
			scope.EndScope();
			expectBound(c.restores ? names[0] : 0, c.restores ? names[1] : 0);
			glBindFramebuffer(GL_FRAMEBUFFER, names[2]);
			scope.EndScope();
		}
		expectBound(names[2], names[2]); // neither EndScope nor the destructor rebound
	}
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glDeleteFramebuffers(3, names);
}
