// The quick-start frame flow on a real GL context: uniform upload read back
// from the program, frames that Render rejects, InitGL failures and repeated
// DeInitGL.
#include "tests/ffglqs/FloatOutputFixture.h"
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamTrigger.h"

#include <chrono>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

float Seconds(Clock::duration duration)
{
	return std::chrono::duration<float>(duration).count();
}

float UniformFloat(GLuint program, const char* name, int component = 0)
{
	const GLint location = glGetUniformLocation(program, name);
	EXPECT_NE(location, -1) << name;
	GLfloat values[4] = {};
	glGetUniformfv(program, location, values);
	return values[component];
}

int UniformInt(GLuint program, const char* name)
{
	const GLint location = glGetUniformLocation(program, name);
	EXPECT_NE(location, -1) << name;
	GLint value = -1;
	glGetUniformiv(program, location, &value);
	return value;
}

// Reads back, while its program is bound and the frame's uniforms are
// uploaded, every uniform the framework writes.
class UniformProbe : public SourceProbe
{
public:
	struct Seen
	{
		GLint boundProgram = 0;
		float time = 0, deltaTime = 0, resolution[2] = {}, bpm = 0, phase = 0;
		int frame = 0, flag = -1;
		float glow[4] = {}, tint[3] = {}, tintBlue = 0, amount = 0;
	};

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
		Seen s;
		glGetIntegerv(GL_CURRENT_PROGRAM, &s.boundProgram);
		const GLuint program = static_cast<GLuint>(s.boundProgram);
		s.time = UniformFloat(program, "time");
		s.deltaTime = UniformFloat(program, "deltaTime");
		s.frame = UniformInt(program, "frame");
		s.resolution[0] = UniformFloat(program, "resolution", 0);
		s.resolution[1] = UniformFloat(program, "resolution", 1);
		s.bpm = UniformFloat(program, "bpm");
		s.phase = UniformFloat(program, "phase");
		for(int c = 0; c < 4; ++c)
			s.glow[c] = UniformFloat(program, "glow", c);
		s.flag = UniformInt(program, "flag");
		for(int c = 0; c < 3; ++c)
			s.tint[c] = UniformFloat(program, "tint", c);
		s.tintBlue = UniformFloat(program, "tint_blue");
		s.amount = UniformFloat(program, "amount");
		seen.push_back(s);
	}

	std::vector<Seen> seen;
};

using QuickStartGLTest = FloatOutputFixture;

TEST_F(QuickStartGLTest, UniformsAfterAFrame)
{
	const Clock::time_point beforeConstruction = Clock::now();
	UniformProbe plugin;
	const FFGLViewportStructTag viewport = { 0, 0, 320, 240 };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);

	plugin.SetFloatParameter(0, 1.0f); // hue 1 is red, like hue 0
	plugin.SetFloatParameter(1, 1.0f);
	plugin.SetFloatParameter(2, 1.0f);
	plugin.SetFloatParameter(3, 0.5f);
	plugin.SetFloatParameter(4, 0.25f); // a boolean that is not 0
	plugin.SetFloatParameter(5, 0.1f);
	plugin.SetFloatParameter(6, 0.2f);
	plugin.SetFloatParameter(7, 0.3f);
	plugin.SetBeatInfo(128.0f, 0.75f);

	const GLBindings before = CurrentBindings();
	ProcessOpenGLStructTag record = {};
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	const float elapsed = Seconds(Clock::now() - beforeConstruction);
	EXPECT_EQ(CurrentBindings(), before);
	ASSERT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

	ASSERT_EQ(plugin.seen.size(), 1u);
	const UniformProbe::Seen first = plugin.seen[0];
	EXPECT_EQ(static_cast<GLuint>(first.boundProgram), plugin.shader.GetGLID());
	EXPECT_GT(first.time, 0.0f);
	EXPECT_LE(first.time, elapsed);
	EXPECT_EQ(first.deltaTime, first.time);
	EXPECT_EQ(first.frame, 1);
	EXPECT_EQ(first.resolution[0], 320.0f);
	EXPECT_EQ(first.resolution[1], 240.0f);
	EXPECT_EQ(first.bpm, 128.0f);
	EXPECT_EQ(first.phase, 0.75f);
	EXPECT_FLOAT_EQ(first.glow[0], 1.0f);
	EXPECT_FLOAT_EQ(first.glow[1], 0.0f);
	EXPECT_FLOAT_EQ(first.glow[2], 0.0f);
	EXPECT_EQ(first.glow[3], 0.5f);
	EXPECT_EQ(first.flag, 1);
	EXPECT_EQ(first.tint[0], 0.1f);
	EXPECT_EQ(first.tint[1], 0.2f);
	EXPECT_EQ(first.tint[2], 0.3f);
	EXPECT_EQ(first.tintBlue, 0.3f);
	EXPECT_EQ(first.amount, 0.7f);

	plugin.SetFloatParameter(4, 0.0f);
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	ASSERT_EQ(plugin.seen.size(), 2u);
	const UniformProbe::Seen second = plugin.seen[1];
	EXPECT_EQ(second.frame, 2);
	EXPECT_GT(second.time, first.time);
	EXPECT_FLOAT_EQ(second.deltaTime, second.time - first.time);
	EXPECT_EQ(second.flag, 0);
	// Brightness 0 makes the colour black whatever the hue.
	plugin.SetFloatParameter(2, 0.0f);
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	EXPECT_EQ(plugin.seen[2].glow[0], 0.0f);

	EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
}

// An effect whose Update remembers what it saw of its trigger.
class TriggerEffect : public EffectProbe
{
public:
	TriggerEffect()
	{
		trigger = ffglqs::ParamTrigger::Create("fire");
		AddParam(trigger);
		SetFragmentShader(R"(
void main()
{
	fragColor = texture( inputTexture, i_uv ) * ( fire ? 2.0 : 1.0 );
}
)");
	}

	void Update() override
	{
		seenTrigger.push_back(trigger->GetValue());
		GLint program = 0;
		glGetIntegerv(GL_CURRENT_PROGRAM, &program);
		seenUniform.push_back(UniformInt(static_cast<GLuint>(program), "fire"));
	}

	std::shared_ptr<ffglqs::ParamTrigger> trigger;
	std::vector<float> seenTrigger;
	std::vector<int> seenUniform;
};

TEST_F(QuickStartGLTest, RejectedFrameStillAdvancesUploadsAndConsumes)
{
	TriggerEffect plugin;
	const FFGLViewportStructTag viewport = { 0, 0, kWidth, kHeight };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);

	plugin.SetFloatParameter(0, 1.0f);
	ProcessOpenGLStructTag noInput = {};
	EXPECT_EQ(plugin.ProcessOpenGL(&noInput), FF_FAIL);
	EXPECT_EQ(plugin.frame, 1);
	EXPECT_GT(plugin.time, 0.0f);
	EXPECT_EQ(plugin.seenTrigger, std::vector<float>{ 1.0f });
	EXPECT_EQ(plugin.seenUniform, std::vector<int>{ 1 });
	EXPECT_EQ(plugin.GetFloatParameter(0), 0.0f);
	// Nothing was drawn.
	EXPECT_TRUE(OutputIs({ -1.0f, -1.0f, -1.0f, -1.0f }));

	// An input count of one with an absent entry is no input either.
	FFGLTextureStructTag* absent[1] = { nullptr };
	ProcessOpenGLStructTag absentInput = { 1, absent, 0 };
	plugin.SetFloatParameter(0, 1.0f);
	EXPECT_EQ(plugin.ProcessOpenGL(&absentInput), FF_FAIL);
	EXPECT_EQ(plugin.frame, 2);
	EXPECT_EQ(plugin.GetFloatParameter(0), 0.0f);
	EXPECT_TRUE(OutputIs({ -1.0f, -1.0f, -1.0f, -1.0f }));
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
	plugin.DeInitGL();
}

TEST_F(QuickStartGLTest, EffectSamplesOnlyThePictureInsideItsTexture)
{
	TriggerEffect plugin;
	const FFGLViewportStructTag viewport = { 0, 0, kWidth, kHeight };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);

	// 640 x 480 of grey inside 1024 x 512 of red: maxUV (0.625, 0.9375). The
	// texture holds 16 x 8 texels standing for that, 10 x 7.5 of them grey.
	std::vector<std::uint8_t> texels(16 * 8 * 4);
	for(int y = 0; y < 8; ++y)
	{
		for(int x = 0; x < 16; ++x)
		{
			const bool inside = x < 10 && y < 7;
			std::uint8_t* t = &texels[(y * 16 + x) * 4];
			t[0] = inside ? 51 : 255;
			t[1] = inside ? 51 : 0;
			t[2] = inside ? 51 : 0;
			t[3] = 255;
		}
	}
	const GLuint texture = MakeRGBA8Texture(16, 8, texels);
	FFGLTextureStructTag input = { 640, 480, 1024, 512, texture };
	FFGLTextureStructTag* inputs[1] = { &input };
	ProcessOpenGLStructTag record = { 1, inputs, 0 };
	ASSERT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);

	EXPECT_EQ(UniformFloat(plugin.shader.GetGLID(), "maxUV", 0), 0.625f);
	EXPECT_EQ(UniformFloat(plugin.shader.GetGLID(), "maxUV", 1), 0.9375f);
	EXPECT_EQ(UniformInt(plugin.shader.GetGLID(), "inputTexture"), 0);
	// Output rows 0 to 6 sample texel rows 0 to 6, all picture; row 7 reaches
	// texel row 7, which the picture covers only half, and is not checked.
	// Columns reach texel 9 at most: with a maxUV of 1 they would reach red.
	const RGBA32F grey = { 0.2f, 0.2f, 0.2f, 1.0f };
	for(GLint y = 0; y < kHeight - 1; ++y)
	{
		for(GLint x = 0; x < kWidth; ++x)
		{
			const RGBA32F pixel = ReadFloatPixel(x, y);
			for(int c = 0; c < 4; ++c)
				EXPECT_NEAR(pixel[c], grey[c], 1e-5f) << x << "," << y;
		}
	}
	glDeleteTextures(1, &texture);
	plugin.DeInitGL();
}

// Counts its hooks and can fail Init.
template <typename Kind>
class HookCounter : public Probe<Kind>
{
public:
	explicit HookCounter(bool initSucceeds, std::string body = "void main() { fragColor = vec4( 0.5 ); }\n") :
		initSucceeds(initSucceeds)
	{
		this->SetFragmentShader(std::move(body));
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
		return Probe<Kind>::DeInitGL();
	}

	bool initSucceeds;
	int inits = 0, cleans = 0, deInits = 0;
};

TEST_F(QuickStartGLTest, FailedInitRunsDeInitGLAndCleanAndKeepsTheOldViewport)
{
	HookCounter<ffglqs::Source> plugin(false);
	const FFGLViewportStructTag viewport = { 0, 0, 100, 50 };
	EXPECT_EQ(plugin.InitGL(&viewport), FF_FAIL);
	EXPECT_EQ(plugin.inits, 1);
	EXPECT_EQ(plugin.deInits, 1);
	EXPECT_EQ(plugin.cleans, 1);
	EXPECT_FALSE(plugin.shader.IsReady());
	EXPECT_EQ(plugin.currentViewport.width, 0u);

	// The host's own DeInitGL after the failure, and once more.
	EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
	EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
	EXPECT_EQ(plugin.cleans, 3);
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(QuickStartGLTest, ShaderThatDoesNotCompileFailsInitGLWithoutCallingInit)
{
	HookCounter<ffglqs::Source> plugin(true, "void main() { this is not glsl }\n");
	const FFGLViewportStructTag viewport = { 0, 0, 100, 50 };
	::testing::internal::CaptureStdout();
	EXPECT_EQ(plugin.InitGL(&viewport), FF_FAIL);
	const std::string log = ::testing::internal::GetCapturedStdout();
	EXPECT_EQ(log.rfind("Fragment Shader error: ", 0), 0u) << log;
	EXPECT_EQ(plugin.inits, 0);
	EXPECT_EQ(plugin.cleans, 1);
	EXPECT_FALSE(plugin.shader.IsReady());
}

TEST_F(QuickStartGLTest, DeInitGLTwiceIsHarmlessAndInitGLWorksAgain)
{
	HookCounter<ffglqs::Source> plugin(true);
	const FFGLViewportStructTag viewport = { 0, 0, kWidth, kHeight };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
	EXPECT_EQ(plugin.currentViewport.width, static_cast<std::uint32_t>(kWidth));
	EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
	EXPECT_EQ(plugin.DeInitGL(), FF_SUCCESS);
	EXPECT_EQ(plugin.cleans, 2);
	EXPECT_FALSE(plugin.shader.IsReady());
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));

	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
	ProcessOpenGLStructTag record = {};
	EXPECT_EQ(plugin.ProcessOpenGL(&record), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ 0.5f, 0.5f, 0.5f, 0.5f }));
	plugin.DeInitGL();
}

TEST_F(QuickStartGLTest, MixerNeedsBothInputs)
{
	HookCounter<ffglqs::Mixer> plugin(true, "void main() { fragColor = mix( texture( textureDest, i_uv_dest ), texture( textureSrc, i_uv_src ), mixVal ); }\n");
	const FFGLViewportStructTag viewport = { 0, 0, kWidth, kHeight };
	ASSERT_EQ(plugin.InitGL(&viewport), FF_SUCCESS);
	const GLuint red = MakeRGBA8Texture(1, 1, { 255, 0, 0, 255 });
	const GLuint blue = MakeRGBA8Texture(1, 1, { 0, 0, 255, 255 });
	FFGLTextureStructTag destination = { 1, 1, 1, 1, red };
	FFGLTextureStructTag source = { 1, 1, 1, 1, blue };

	FFGLTextureStructTag* one[1] = { &destination };
	ProcessOpenGLStructTag oneInput = { 1, one, 0 };
	EXPECT_EQ(plugin.ProcessOpenGL(&oneInput), FF_FAIL);
	FFGLTextureStructTag* secondAbsent[2] = { &destination, nullptr };
	ProcessOpenGLStructTag absent = { 2, secondAbsent, 0 };
	EXPECT_EQ(plugin.ProcessOpenGL(&absent), FF_FAIL);
	EXPECT_TRUE(OutputIs({ -1.0f, -1.0f, -1.0f, -1.0f }));

	const GLBindings before = CurrentBindings();
	FFGLTextureStructTag* both[2] = { &destination, &source };
	ProcessOpenGLStructTag twoInputs = { 2, both, 0 };
	plugin.SetFloatParameter(0, 1.0f);
	EXPECT_EQ(plugin.ProcessOpenGL(&twoInputs), FF_SUCCESS);
	EXPECT_TRUE(OutputIs({ 0.0f, 0.0f, 1.0f, 1.0f }));
	EXPECT_EQ(UniformInt(plugin.shader.GetGLID(), "textureDest"), 0);
	EXPECT_EQ(UniformInt(plugin.shader.GetGLID(), "textureSrc"), 1);
	// Unit 1 is left without a texture and unit 0 active again.
	EXPECT_EQ(CurrentBindings(), before);
	glActiveTexture(GL_TEXTURE1);
	GLint unitOneTexture = -1;
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &unitOneTexture);
	glActiveTexture(GL_TEXTURE0);
	EXPECT_EQ(unitOneTexture, 0);

	glDeleteTextures(1, &red);
	glDeleteTextures(1, &blue);
	plugin.DeInitGL();
}

}// namespace
