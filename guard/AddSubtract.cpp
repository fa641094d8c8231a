#include "guard/AddSubtract.h"

#include "ffglex/FFGLScopedBindings.h"
#include "guard/GLPixelReader.h"

#include <chrono>

namespace
{
std::int64_t SteadyClockNs()
{
	const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
	return std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
}

// The part of a texture axis that holds picture. A texture size of 0 is a
// malformed record: the whole texture is taken, rather than handing the shader
// an infinite or NaN coordinate.
float PictureFraction(std::uint32_t picture, std::uint32_t texture)
{
	return texture != 0 ? static_cast<float>(picture) / static_cast<float>(texture) : 1.0f;
}
} // namespace

AddSubtract::AddSubtract() : CFFGLPlugin(false)
{
	SetMinInputs(1);
	SetMaxInputs(1);
	// The registry keeps the host-side form of each stored default, which is
	// what every new instance is given back through SetFloatParameter.
	for (unsigned int index = 0; index < GuardParameters::kCount; ++index)
		SetParamInfo(index, GuardParameters::Name(index), FF_TYPE_STANDARD, GetFloatParameter(index));
}

AddSubtract::~AddSubtract() = default;

unsigned int AddSubtract::InitGL(const FFGLViewportStructTag* vp)
{
	if (vp == nullptr)
		return FF_FAIL;
	measure.SetViewport(*vp);

	// Compile and Initialise do not free what an earlier InitGL made; a host
	// that initialises twice without DeInitGL must not leak it.
	shader.FreeGLResources();
	quad.Release();

	if (!shader.Compile(vertexShader, fragmentShader) || !quad.Initialise(false))
	{
		DeInitGL();
		return FF_FAIL;
	}
	currentViewport = *vp;
	return FF_SUCCESS;
}

unsigned int AddSubtract::DeInitGL()
{
	shader.FreeGLResources();
	quad.Release();
	return FF_SUCCESS;
}

char* AddSubtract::GetParameterDisplay(unsigned int index)
{
	parameters.Display(index, displayText, sizeof(displayText));
	return displayText;
}

unsigned int AddSubtract::SetFloatParameter(unsigned int index, float value)
{
	return parameters.Set(index, value) ? FF_SUCCESS : FF_FAIL;
}

float AddSubtract::GetFloatParameter(unsigned int index)
{
	return parameters.Get(index);
}

unsigned int AddSubtract::ProcessOpenGL(ProcessOpenGLStructTag* record)
{
	if (record == nullptr || record->numInputTextures == 0 || record->inputTextures == nullptr ||
		record->inputTextures[0] == nullptr)
		return FF_FAIL;
	const FFGLTextureStructTag& input = *record->inputTextures[0];

	{
		ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
		ffglex::ScopedSamplerActivation unit0(0);
		ffglex::Scoped2DTextureBinding textureBinding(input.Handle);
		shader.Set("InputTexture", 0);
		// Hosts may hand a texture larger than the picture (power-of-two sizes):
		// only the picture's part of it is sampled.
		shader.Set("MaxUV", PictureFraction(input.Width, input.HardwareWidth),
			PictureFraction(input.Height, input.HardwareHeight));
		quad.Draw();
	}

	const std::int64_t now = SteadyClockNs();
	if (timing.Advance(FrameIsBlack(), now, parameters.BlackHold(), parameters.Recovery()))
		SendNextClip();
	return FF_SUCCESS;
}

bool AddSubtract::FrameIsBlack() const
{
	LumaSamples samples;
	{
		const GLPixelReader reader;
		measure.Read(reader, samples);
	}
	return BrightestLuma(samples) <= parameters.BlackThreshold();
}

void AddSubtract::SendNextClip() const
{
	parameters.Target().Send();
}
