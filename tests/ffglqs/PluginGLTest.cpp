// The quick-start frame flow on a real GL context: uniforms read back from the
// program, frames that Render rejects, InitGL failures and repeated DeInitGL.
#include "tests/ffglqs/QuickStartProbes.h"
#include "tests/support/ModuleFixture.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamTrigger.h"

#include <map>
#include <string>

namespace
{
using QuickStartGLTest = ModuleFixture;

RGBA UniformFloats(GLuint program, const char* name)
{
	RGBA values = {};
	glGetUniformfv(program, glGetUniformLocation(program, name), values.data());
	return values;
}

// Reads back, in Update, every uniform the framework has written to the bound
// program, and what its trigger was then.
class UniformProbe : public EffectProbe
{
public:
	UniformProbe()
	{
		AddHueColorParam("glow");
		AddParam(ffglqs::ParamBool::Create("flag"));
		AddRGBColorParam("tint");
		AddParam(ffglqs::ParamTrigger::Create("fire"));
		// Every uniform takes part in the output, so none is optimised away;
		// tint_blue is declared by the body itself.
		SetFragmentShader(R"(
uniform float tint_blue;
void main()
{
	float standard = time + deltaTime + float( frame ) + resolution.x + resolution.y + bpm + phase;
	float all = standard + glow.r + glow.a + ( flag ? 1.0 : 0.0 ) + tint.r + tint.g + tint.b + tint_blue;
	fragColor = texture( inputTexture, i_uv ) * ( fire ? 0.5 : 1.0 ) + vec4( 0.0, 0.0, 0.0, min( all, 0.0 ) );
}
)");
	}

	// glGetUniformfv converts the integer and boolean uniforms too.
	void Update() override
	{
		GLint program = 0;
		glGetIntegerv(GL_CURRENT_PROGRAM, &program);
		bound = static_cast<GLuint>(program);
		for (const char* name :
			{ "time", "deltaTime", "frame", "resolution", "bpm", "phase", "glow", "flag", "tint", "tint_blue", "fire" })
			floats[name] = UniformFloats(bound, name);
	}

	GLuint bound = 0;
	std::map<std::string, RGBA> floats;
};

TEST_F(QuickStartGLTest, UniformsAfterAFrame)
{
	UniformProbe plugin;
	const FFGLViewportStructTag viewport = { 0, 0, 320, 240 };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
	// Hue 1 (red, as hue 0), saturation 0.5, brightness 0.8, alpha 0.5; a
	// boolean at 0.25; the RGB group.
	const float values[] = { 1.0f, 0.5f, 0.8f, 0.5f, 0.25f, 0.1f, 0.2f, 0.3f };
	for (unsigned int i = 0; i < 8; ++i)
		plugin.SetFloatParameter(i, values[i]);
	plugin.SetBeatInfo(128.0f, 0.75f);
	const GLuint texture = MakeRGBA8Texture(1, 1, { 51, 51, 51, 255 });
	FFGLTextureStructTag input = { 640, 480, 1024, 512, texture };
	FFGLTextureStructTag* inputs[1] = { &input };
	ProcessOpenGLStructTag record = { 1, inputs, 0 };

	const GLBindings before = CurrentBindings();
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	EXPECT_EQ(CurrentBindings(), before);
	ASSERT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	const float time = plugin.floats["time"][0];
	EXPECT_GT(time, 0.0f);
	const std::pair<const char*, RGBA> uniforms[] = { { "frame", { 1.0f } }, { "flag", { 1.0f } },
		{ "resolution", { 320.0f, 240.0f } }, { "bpm", { 128.0f } }, { "phase", { 0.75f } },
		{ "glow", { 0.8f, 0.4f, 0.4f, 0.5f } }, { "tint", { 0.1f, 0.2f, 0.3f } },
		{ "tint_blue", { 0.3f } } }; // the group's last component, again under its own name
	for (const auto& uniform : uniforms)
		for (int i = 0; i < 4; ++i)
			EXPECT_NEAR(plugin.floats[uniform.first][i], uniform.second[i], 1e-6f) << uniform.first << "[" << i << "]";
	// maxUV is the picture's part of the host texture.
	EXPECT_EQ(UniformFloats(plugin.shader.GetGLID(), "maxUV"), (RGBA{ 0.625f, 0.9375f }));
	EXPECT_TRUE(OutputIs({ 0.2f, 0.2f, 0.2f, 1.0f }));

	// A frame without input is rejected but still advances, uploads and
	// consumes the trigger, drawing nothing.
	plugin.SetFloatParameter(4, 0.0f);
	plugin.SetFloatParameter(8, 1.0f);
	Clear();
	FFGLTextureStructTag* absent[1] = { nullptr };
	float previous = time;
	for (ProcessOpenGLStructTag rejected : { ProcessOpenGLStructTag{}, ProcessOpenGLStructTag{ 1, absent, 0 } })
	{
		EXPECT_EQ(plugin.ProcessOpenGL(&rejected), FF_FAIL);
		EXPECT_EQ(plugin.GetFloatParameter(8), 0.0f);
		EXPECT_FLOAT_EQ(plugin.floats["deltaTime"][0], plugin.floats["time"][0] - previous);
		previous = plugin.floats["time"][0];
	}
	EXPECT_EQ(plugin.floats["frame"][0] * 100 + plugin.floats["flag"][0] * 10 + plugin.floats["fire"][0], 300.0f);
	EXPECT_TRUE(OutputIs(kUntouched));
	plugin.SetFloatParameter(8, 1.0f);
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	EXPECT_EQ(plugin.floats["fire"][0], 1.0f);
	EXPECT_TRUE(OutputIs({ 0.1f, 0.1f, 0.1f, 0.5f }));
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	glDeleteTextures(1, &texture);
	plugin.DeInitGL();
}

// Counts its hooks and can fail Init.
class HookCounter : public SourceProbe
{
public:
	HookCounter(bool initSucceeds, std::string body) : initSucceeds(initSucceeds)
	{
		SetFragmentShader(std::move(body));
	}
	unsigned int Init() override
	{
		++inits;
		return initSucceeds ? FF_SUCCESS : FF_FAIL;
	}
	void Clean() override { ++cleans; }
	unsigned int DeInitGL() override
	{
		++deInits;
		return SourceProbe::DeInitGL();
	}

	bool initSucceeds;
	int inits = 0, cleans = 0, deInits = 0;
};

// A failed InitGL runs DeInitGL (and so Clean) itself, leaves no GL object and
// keeps the old viewport; the host's DeInitGL may follow, twice, and a good
// instance initialises again after it.
TEST_F(QuickStartGLTest, FailedInitGLCleansUpAndDeInitGLMayRepeat)
{
	const char* const goodBody = "void main() { fragColor = vec4( 0.5 ); }\n";
	const struct
	{
		bool initSucceeds;
		const char* body;
		int inits;
		const char* log;
	} cases[] = {
		{ false, goodBody, 1, "" },
		{ true, "void main() { this is not glsl }\n", 0, "Fragment Shader error: " },
	};
	const FFGLViewportStructTag viewport = { 0, 0, kOutputWidth, kOutputHeight };
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.inits);
		HookCounter plugin(c.initSucceeds, c.body);
		const GLObjectNames before = LiveObjects();
		::testing::internal::CaptureStdout();
		EXPECT_EQ(plugin.InitGL(&viewport), FF_FAIL);
		const std::string log = ::testing::internal::GetCapturedStdout();
		EXPECT_EQ(log.rfind(c.log, 0), 0u) << log;
		EXPECT_EQ(log.empty(), c.log[0] == '\0') << log;
		EXPECT_EQ(plugin.inits * 100 + plugin.deInits * 10 + plugin.cleans, c.inits * 100 + 11);
		EXPECT_EQ(LiveObjects(), before);
		EXPECT_EQ(plugin.currentViewport.width, 0u);
		EXPECT_EQ(plugin.DeInitGL() + plugin.DeInitGL(), 2 * FF_SUCCESS);
		EXPECT_EQ(plugin.cleans, 3);
	}
	HookCounter plugin(true, goodBody);
	ProcessOpenGLStructTag record = {};
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
	EXPECT_EQ(plugin.currentViewport.width, static_cast<std::uint32_t>(kOutputWidth));
	Clear();
	EXPECT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ 0.5f, 0.5f, 0.5f, 0.5f }));
	plugin.DeInitGL();
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
