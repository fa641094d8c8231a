#include "guard/AddSubtract.h"

#include "guard/GLPixelReader.h"
#include "guard/PassThrough.h"

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

	if (!BuildPassThrough(shader, quad, vertexShader, fragmentShader))
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
	const FFGLTextureStructTag* input = FirstInput(record);
	if (input == nullptr)
		return FF_FAIL;
	DrawPassThrough(shader, quad, *input);

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
