#include "ffglex/FFGLScopedBindings.h"
#include "tests/support/GLFixture.h"

#include <memory>
#include <string>
#include <type_traits>

using namespace ffglex;

namespace
{
GLint Query(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

// One scope class each: how to open it, how to make an object it can bind, how
// to bind one without the scope, and what glGetIntegerv reports.
struct BufferScope
{
	static constexpr const char* kName = "ScopedBufferBinding";
	using Scope = ScopedBufferBinding;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(GL_PIXEL_UNPACK_BUFFER, name); }
	static void BindDirectly(GLuint name) { glBindBuffer(GL_PIXEL_UNPACK_BUFFER, name); }
	static GLint Bound() { return Query(GL_PIXEL_UNPACK_BUFFER_BINDING); }
	static GLuint Make()
	{
		GLuint name = 0;
		glGenBuffers(1, &name);
		return name;
	}
	static GLint Reported(GLuint name) { return static_cast<GLint>(name); }
	static constexpr GLint kDefault = 0;
};

template <typename ScopeClass, GLenum kTarget, GLenum kBindingQuery>
struct FixedBufferScope : BufferScope
{
	static const char* const kName;
	using Scope = ScopeClass;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(name); }
	static void BindDirectly(GLuint name) { glBindBuffer(kTarget, name); }
	static GLint Bound() { return Query(kBindingQuery); }
};
using VBOScope = FixedBufferScope<ScopedVBOBinding, GL_ARRAY_BUFFER, GL_ARRAY_BUFFER_BINDING>;
using IBOScope = FixedBufferScope<ScopedIBOBinding, GL_ELEMENT_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER_BINDING>;
using UBOScope = FixedBufferScope<ScopedUBOBinding, GL_UNIFORM_BUFFER, GL_UNIFORM_BUFFER_BINDING>;
template <>
const char* const VBOScope::kName = "ScopedVBOBinding";
template <>
const char* const IBOScope::kName = "ScopedIBOBinding";
template <>
const char* const UBOScope::kName = "ScopedUBOBinding";

struct TextureScope
{
	static constexpr const char* kName = "ScopedTextureBinding";
	using Scope = ScopedTextureBinding;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(GL_TEXTURE_3D, name); }
	static void BindDirectly(GLuint name) { glBindTexture(GL_TEXTURE_3D, name); }
	static GLint Bound() { return Query(GL_TEXTURE_BINDING_3D); }
	static GLuint Make()
	{
		GLuint name = 0;
		glGenTextures(1, &name);
		return name;
	}
	static GLint Reported(GLuint name) { return static_cast<GLint>(name); }
	static constexpr GLint kDefault = 0;
};

struct Texture2DScope : TextureScope
{
	static constexpr const char* kName = "Scoped2DTextureBinding";
	using Scope = Scoped2DTextureBinding;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(name); }
	static void BindDirectly(GLuint name) { glBindTexture(GL_TEXTURE_2D, name); }
	static GLint Bound() { return Query(GL_TEXTURE_BINDING_2D); }
};

struct ShaderScope
{
	static constexpr const char* kName = "ScopedShaderBinding";
	using Scope = ScopedShaderBinding;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(name); }
	static void BindDirectly(GLuint name) { glUseProgram(name); }
	static GLint Bound() { return Query(GL_CURRENT_PROGRAM); }
	// glUseProgram accepts only linked programs.
	static GLuint Make()
	{
		static const char* const kVertex = "#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n";
		static const char* const kFragment =
			"#version 410 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }\n";
		const GLuint program = glCreateProgram();
		const GLuint stages[2] = { glCreateShader(GL_VERTEX_SHADER), glCreateShader(GL_FRAGMENT_SHADER) };
		glShaderSource(stages[0], 1, &kVertex, nullptr);
		glShaderSource(stages[1], 1, &kFragment, nullptr);
		for (GLuint stage : stages)
		{
			glCompileShader(stage);
			glAttachShader(program, stage);
			glDeleteShader(stage);
		}
		glLinkProgram(program);
		return program;
	}
	static GLint Reported(GLuint name) { return static_cast<GLint>(name); }
	static constexpr GLint kDefault = 0;
};

// The "objects" are texture unit indices.
struct SamplerScope
{
	static constexpr const char* kName = "ScopedSamplerActivation";
	using Scope = ScopedSamplerActivation;
	static std::unique_ptr<Scope> Open(GLuint unit) { return std::make_unique<Scope>(unit); }
	static void BindDirectly(GLuint unit) { glActiveTexture(GL_TEXTURE0 + unit); }
	static GLint Bound() { return Query(GL_ACTIVE_TEXTURE); }
	static GLuint Make()
	{
		static GLuint next = 1;
		next = next % 7 + 1;
		return next;
	}
	static GLint Reported(GLuint unit) { return static_cast<GLint>(GL_TEXTURE0 + unit); }
	static constexpr GLint kDefault = GL_TEXTURE0;
};

struct VAOScope
{
	static constexpr const char* kName = "ScopedVAOBinding";
	using Scope = ScopedVAOBinding;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(name); }
	static void BindDirectly(GLuint name) { glBindVertexArray(name); }
	static GLint Bound() { return Query(GL_VERTEX_ARRAY_BINDING); }
	static GLuint Make()
	{
		GLuint name = 0;
		glGenVertexArrays(1, &name);
		return name;
	}
	static GLint Reported(GLuint name) { return static_cast<GLint>(name); }
	static constexpr GLint kDefault = 0;
};

struct RenderBufferScope
{
	static constexpr const char* kName = "ScopedRenderBufferBinding";
	using Scope = ScopedRenderBufferBinding;
	static std::unique_ptr<Scope> Open(GLuint name) { return std::make_unique<Scope>(name); }
	static void BindDirectly(GLuint name) { glBindRenderbuffer(GL_RENDERBUFFER, name); }
	static GLint Bound() { return Query(GL_RENDERBUFFER_BINDING); }
	static GLuint Make()
	{
		GLuint name = 0;
		glGenRenderbuffers(1, &name);
		return name;
	}
	static GLint Reported(GLuint name) { return static_cast<GLint>(name); }
	static constexpr GLint kDefault = 0;
};

template <typename Traits>
class ScopeGLTest : public GLFixture
{
};
using ScopeKinds = ::testing::Types<BufferScope, VBOScope, IBOScope, UBOScope, TextureScope, Texture2DScope,
	ShaderScope, SamplerScope, VAOScope, RenderBufferScope>;
struct ScopeKindName
{
	template <typename Traits>
	static std::string GetName(int)
	{
		return Traits::kName;
	}
};
TYPED_TEST_SUITE(ScopeGLTest, ScopeKinds, ScopeKindName);
} // namespace

TYPED_TEST(ScopeGLTest, IsNeitherCopyableNorMovable)
{
	using Scope = typename TypeParam::Scope;
	static_assert(!std::is_copy_constructible<Scope>::value && !std::is_copy_assignable<Scope>::value,
		"a copied scope would unbind twice");
	static_assert(!std::is_move_constructible<Scope>::value && !std::is_move_assignable<Scope>::value,
		"a moved-from scope would unbind early");
}

// Ending a scope returns to the default, not to what was bound before it; the
// destructor after EndScope issues no second unbinding, so what was bound in
// between survives.
TYPED_TEST(ScopeGLTest, EndsAtDefaultOnceWhateverWasBoundBefore)
{
	const GLuint before = TypeParam::Make();
	const GLuint inScope = TypeParam::Make();
	const GLuint between = TypeParam::Make();
	TypeParam::BindDirectly(before);
	ASSERT_EQ(TypeParam::Bound(), TypeParam::Reported(before));

	auto scope = TypeParam::Open(inScope);
	EXPECT_EQ(TypeParam::Bound(), TypeParam::Reported(inScope));
	scope->EndScope();
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);
	scope->EndScope();
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);

	TypeParam::BindDirectly(between);
	scope.reset();
	EXPECT_EQ(TypeParam::Bound(), TypeParam::Reported(between)) << "the destructor unbound a second time";
	TypeParam::BindDirectly(0);
	EXPECT_EQ(GLFixture::TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

TYPED_TEST(ScopeGLTest, DestructionAloneEndsTheScope)
{
	const GLuint name = TypeParam::Make();
	{
		auto scope = TypeParam::Open(name);
		EXPECT_EQ(TypeParam::Bound(), TypeParam::Reported(name));
	}
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);
}

// The inner scope's end leaves the default although the outer one is open.
TYPED_TEST(ScopeGLTest, NestedScopesOfOneKindEachEndAtDefault)
{
	const GLuint outerName = TypeParam::Make();
	const GLuint innerName = TypeParam::Make();
	auto outer = TypeParam::Open(outerName);
	{
		auto inner = TypeParam::Open(innerName);
		EXPECT_EQ(TypeParam::Bound(), TypeParam::Reported(innerName));
	}
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);
	outer.reset();
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);
}

// Name 0 binds the default but the end of the scope still unbinds.
TYPED_TEST(ScopeGLTest, ZeroNameStillUnbindsAtTheEnd)
{
	const GLuint other = TypeParam::Make();
	auto scope = TypeParam::Open(0);
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);
	TypeParam::BindDirectly(other);
	scope.reset();
	EXPECT_EQ(TypeParam::Bound(), TypeParam::kDefault);
}

namespace
{
class FBOScopeGLTest : public GLFixture
{
protected:
	void SetUp() override
	{
		GLFixture::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
		glGenFramebuffers(3, names);
	}
	void TearDown() override
	{
		if (Context() != nullptr)
		{
			glBindFramebuffer(GL_FRAMEBUFFER, 0);
			glDeleteFramebuffers(3, names);
		}
		GLFixture::TearDown();
	}

	// Distinct draw and read bindings, as a host may leave them.
	void BindHostPair()
	{
		glBindFramebuffer(GL_DRAW_FRAMEBUFFER, names[0]);
		glBindFramebuffer(GL_READ_FRAMEBUFFER, names[1]);
	}
	static GLint Draw() { return Query(GL_DRAW_FRAMEBUFFER_BINDING); }
	static GLint Read() { return Query(GL_READ_FRAMEBUFFER_BINDING); }

	GLuint names[3] = {};
};
} // namespace

TEST_F(FBOScopeGLTest, EndsAtSavedOrZeroBindingsByBehaviour)
{
	struct Case
	{
		const char* label;
		ScopedFBOBinding::RestoreBehaviour behaviour;
		bool restores;
	};
	const Case cases[] = {
		{ "RestorePrevious", ScopedFBOBinding::RestorePrevious, true },
		{ "UnbindOnEnd", ScopedFBOBinding::UnbindOnEnd, false },
		{ "unknown value 7", static_cast<ScopedFBOBinding::RestoreBehaviour>(7), false },
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(c.label);
		BindHostPair();
		{
			ScopedFBOBinding scope(names[2], c.behaviour);
			EXPECT_EQ(Draw(), static_cast<GLint>(names[2]));
			EXPECT_EQ(Read(), static_cast<GLint>(names[2]));
		}
		EXPECT_EQ(Draw(), c.restores ? static_cast<GLint>(names[0]) : 0);
		EXPECT_EQ(Read(), c.restores ? static_cast<GLint>(names[1]) : 0);
	}
}

TEST_F(FBOScopeGLTest, RestoresOnceAtEndScope)
{
	BindHostPair();
	ScopedFBOBinding scope(names[2], ScopedFBOBinding::RestorePrevious);
	scope.EndScope();
	EXPECT_EQ(Draw(), static_cast<GLint>(names[0]));
	EXPECT_EQ(Read(), static_cast<GLint>(names[1]));

	// The destructor must not rebind the host's pair over what is bound now.
	glBindFramebuffer(GL_FRAMEBUFFER, names[2]);
	scope.EndScope();
	EXPECT_EQ(Draw(), static_cast<GLint>(names[2]));
	EXPECT_EQ(Read(), static_cast<GLint>(names[2]));
}

TEST_F(FBOScopeGLTest, IsNeitherCopyableNorMovable)
{
	static_assert(!std::is_copy_constructible<ScopedFBOBinding>::value &&
			!std::is_move_constructible<ScopedFBOBinding>::value &&
			!std::is_copy_assignable<ScopedFBOBinding>::value && !std::is_move_assignable<ScopedFBOBinding>::value,
		"a copied scope would restore twice");
}

// The nesting a render path uses, outermost first: program, sampler unit,
// texture. When all have ended the context is at its defaults, and the host's
// framebuffer is untouched.
TEST_F(GLFixture, RenderPathNestingLeavesDefaults)
{
	const GLBindings before = CurrentBindings();
	const GLuint texture = MakeRGBA8Texture(1, 1, { 1, 2, 3, 4 });
	const GLuint program = ShaderScope::Make();
	{
		ScopedShaderBinding shaderBinding(program);
		ScopedSamplerActivation samplerActivation(1);
		Scoped2DTextureBinding textureBinding(texture);
		const GLBindings during = CurrentBindings();
		EXPECT_EQ(during.program, static_cast<GLint>(program));
		EXPECT_EQ(during.activeTexture, GL_TEXTURE1);
		EXPECT_EQ(during.texture2D, static_cast<GLint>(texture));
	}
	EXPECT_EQ(CurrentBindings(), before);
	// The texture was unbound from unit 1, where it was bound.
	glActiveTexture(GL_TEXTURE1);
	EXPECT_EQ(Query(GL_TEXTURE_BINDING_2D), 0);
	glActiveTexture(GL_TEXTURE0);
	glDeleteTextures(1, &texture);
	glDeleteProgram(program);
}
