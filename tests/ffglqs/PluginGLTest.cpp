// The quick-start frame flow on a real GL context: uniforms read back from the
// program, frames that Render rejects, InitGL failures and repeated DeInitGL.
#include "tests/ffglqs/FloatOutputFixture.h"
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamTrigger.h"

#include <map>
#include <string>
#include <vector>

namespace
{
using QuickStartGLTest = FloatOutputFixture;

std::array<float, 4> UniformFloats(GLuint program, const char* name)
{
	std::array<float, 4> values = {};
	glGetUniformfv(program, glGetUniformLocation(program, name), values.data());
	return values;
}

int UniformInt(GLuint program, const char* name)
{
	GLint value = -1;
	glGetUniformiv(program, glGetUniformLocation(program, name), &value);
	return value;
}

// Reads back every uniform the framework writes, from the bound program, while
// the frame's uniforms are uploaded. A uniform the program lacks raises a GL
// error, which the test checks for.
class UniformProbe : public SourceProbe
{
public:
	UniformProbe()
	{
		AddHueColorParam("glow");
		AddParam(ffglqs::ParamBool::Create("flag"));
		AddRGBColorParam("tint");
		AddParam(ffglqs::Param::Create("amount", 0.7f));
		AddParam(ffglqs::ParamFFT::Create("spectrum", 8));
		// Every uniform takes part in the output, so none is optimised away;
		// tint_blue is declared by the body itself.
		SetFragmentShader(R"(
uniform float tint_blue;
void main()
{
	float standard = time + deltaTime + float( frame ) + resolution.x + resolution.y + bpm + phase;
	fragColor = vec4( standard, glow.r + glow.g + glow.b + glow.a + ( flag ? 1.0 : 0.0 ),
		tint.r + tint.g + tint.b + tint_blue, amount );
}
)");
	}

	void Update() override
	{
		glGetIntegerv(GL_CURRENT_PROGRAM, &boundProgram);
		const GLuint program = static_cast<GLuint>(boundProgram);
		for (const char* name :
			{ "time", "deltaTime", "resolution", "bpm", "phase", "glow", "tint", "tint_blue", "amount" })
			floats[name] = UniformFloats(program, name);
		for (const char* name : { "frame", "flag" })
			ints[name] = UniformInt(program, name);
	}

	GLint boundProgram = 0;
	std::map<std::string, std::array<float, 4>> floats;
	std::map<std::string, int> ints;
};

TEST_F(QuickStartGLTest, UniformsAfterAFrame)
{
	const auto beforeConstruction = std::chrono::steady_clock::now();
	UniformProbe plugin;
	const FFGLViewportStructTag viewport = { 0, 0, 320, 240 };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
	// Hue 1 (red, as hue 0), saturation 1, brightness 1, alpha 0.5; a boolean
	// at 0.25; the RGB group.
	const float values[] = { 1.0f, 1.0f, 1.0f, 0.5f, 0.25f, 0.1f, 0.2f, 0.3f };
	for (unsigned int i = 0; i < 8; ++i)
		plugin.SetFloatParameter(i, values[i]);
	plugin.SetBeatInfo(128.0f, 0.75f);

	const GLBindings before = CurrentBindings();
	ProcessOpenGLStructTag record = {};
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	const float elapsed = std::chrono::duration<float>(std::chrono::steady_clock::now() - beforeConstruction).count();
	EXPECT_EQ(CurrentBindings(), before);
	ASSERT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

	EXPECT_EQ(static_cast<GLuint>(plugin.boundProgram), plugin.shader.GetGLID());
	const float time = plugin.floats["time"][0];
	EXPECT_GT(time, 0.0f);
	EXPECT_LE(time, elapsed);
	EXPECT_EQ(plugin.floats["deltaTime"][0], time);
	EXPECT_EQ(plugin.ints["frame"], 1);
	EXPECT_EQ(plugin.ints["flag"], 1);
	const struct
	{
		const char* name;
		std::array<float, 4> expected;
	} cases[] = {
		{ "resolution", { 320.0f, 240.0f } },
		{ "bpm", { 128.0f } },
		{ "phase", { 0.75f } },
		{ "glow", { 1.0f, 0.0f, 0.0f, 0.5f } },
		{ "tint", { 0.1f, 0.2f, 0.3f } },
		{ "tint_blue", { 0.3f } }, // the group's last component, again under its own name
		{ "amount", { 0.7f } },
	};
	for (const auto& c : cases)
		for (int i = 0; i < 4; ++i)
			EXPECT_NEAR(plugin.floats[c.name][i], c.expected[i], 1e-6f) << c.name << "[" << i << "]";

	plugin.SetFloatParameter(4, 0.0f);
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	EXPECT_EQ(plugin.ints["frame"], 2);
	EXPECT_GT(plugin.floats["time"][0], time);
	EXPECT_FLOAT_EQ(plugin.floats["deltaTime"][0], plugin.floats["time"][0] - time);
	EXPECT_EQ(plugin.ints["flag"], 0);
	plugin.DeInitGL();
}

// An effect that records what its Update saw of its trigger.
class TriggerEffect : public EffectProbe
{
public:
	TriggerEffect()
	{
		AddParam(ffglqs::ParamTrigger::Create("fire"));
		SetFragmentShader("void main() { fragColor = texture( inputTexture, i_uv ) * ( fire ? 2.0 : 1.0 ); }\n");
	}

	void Update() override
	{
		GLint program = 0;
		glGetIntegerv(GL_CURRENT_PROGRAM, &program);
		seen.push_back({ GetFloatParameter(0), UniformInt(static_cast<GLuint>(program), "fire") });
	}

	std::vector<std::pair<float, int>> seen;
};

TEST_F(QuickStartGLTest, RejectedFrameStillAdvancesUploadsAndConsumes)
{
	TriggerEffect plugin;
	const FFGLViewportStructTag viewport = { 0, 0, kWidth, kHeight };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);

	// No input at all, and an input count of one with an absent entry.
	FFGLTextureStructTag* absent[1] = { nullptr };
	ProcessOpenGLStructTag records[] = { {}, { 1, absent, 0 } };
	for (ProcessOpenGLStructTag& record : records)
	{
		plugin.SetFloatParameter(0, 1.0f);
		EXPECT_EQ(plugin.ProcessOpenGL(&record), FF_FAIL);
		EXPECT_EQ(plugin.seen.back(), std::make_pair(1.0f, 1));
		EXPECT_EQ(plugin.GetFloatParameter(0), 0.0f);
	}
	EXPECT_EQ(plugin.frame, 2);
	EXPECT_GT(plugin.time, 0.0f);
	EXPECT_TRUE(OutputIs(kUntouched));

	// maxUV is the picture's part of the host texture; 1 where the record
	// gives no hardware size.
	const GLuint texture = MakeRGBA8Texture(1, 1, { 51, 51, 51, 255 });
	const struct
	{
		FFGLTextureStructTag input;
		float u, v;
	} cases[] = { { { 640, 480, 1024, 512, texture }, 0.625f, 0.9375f }, { { 640, 480, 0, 0, texture }, 1.0f, 1.0f } };
	for (auto c : cases)
	{
		FFGLTextureStructTag* inputs[1] = { &c.input };
		ProcessOpenGLStructTag record = { 1, inputs, 0 };
		ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
		const std::array<float, 4> maxUV = UniformFloats(plugin.shader.GetGLID(), "maxUV");
		EXPECT_EQ(maxUV[0], c.u);
		EXPECT_EQ(maxUV[1], c.v);
		EXPECT_EQ(UniformInt(plugin.shader.GetGLID(), "inputTexture"), 0);
		EXPECT_TRUE(OutputIs({ 0.2f, 0.2f, 0.2f, 1.0f }));
	}
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

const char* const kGoodBody = "void main() { fragColor = vec4( 0.5 ); }\n";

// A failed InitGL runs DeInitGL (and so Clean) itself, leaves no GL object and
// keeps the old viewport; the host's DeInitGL may follow, twice.
TEST_F(QuickStartGLTest, FailedInitGLCleansUpAndDeInitGLMayRepeat)
{
	const struct
	{
		const char* label;
		bool initSucceeds;
		const char* body;
		int inits;
		const char* log;
	} cases[] = {
		{ "Init fails", false, kGoodBody, 1, "" },
		{ "shader does not compile", true, "void main() { this is not glsl }\n", 0, "Fragment Shader error: " },
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.label);
		HookCounter plugin(c.initSucceeds, c.body);
		const GLObjectNames before = LiveObjects();
		const FFGLViewportStructTag viewport = { 0, 0, 100, 50 };
		::testing::internal::CaptureStdout();
		EXPECT_EQ(plugin.InitGL(&viewport), FF_FAIL);
		const std::string log = ::testing::internal::GetCapturedStdout();
		EXPECT_EQ(log.rfind(c.log, 0), 0u) << log;
		EXPECT_EQ(log.empty(), c.log[0] == '\0') << log;
		EXPECT_EQ(plugin.inits, c.inits);
		EXPECT_EQ(plugin.deInits, 1);
		EXPECT_EQ(plugin.cleans, 1);
		EXPECT_EQ(LiveObjects(), before);
		EXPECT_EQ(plugin.currentViewport.width, 0u);

		EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
		EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
		EXPECT_EQ(plugin.cleans, 3);
		EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	}
}

// After DeInitGL, twice, InitGL builds everything again.
TEST_F(QuickStartGLTest, InitGLWorksAgainAfterDeInitGLTwice)
{
	HookCounter plugin(true, kGoodBody);
	const FFGLViewportStructTag viewport = { 0, 0, kWidth, kHeight };
	ProcessOpenGLStructTag record = {};
	for (int round = 0; round < 2; ++round)
	{
		ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
		EXPECT_EQ(plugin.currentViewport.width, static_cast<std::uint32_t>(kWidth));
		Clear();
		EXPECT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
		EXPECT_TRUE(OutputIs({ 0.5f, 0.5f, 0.5f, 0.5f }));
		EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
		EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
		EXPECT_FALSE(plugin.shader.IsReady());
	}
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
