#include "still/StillGuard.h"

#include "guard/GLPixelReader.h"
#include "guard/PassThrough.h"

const float StillGuard::kGrid[7] = { 0.1f, 0.2333333f, 0.3666667f, 0.5f, 0.6333333f, 0.7666667f, 0.9f };

StillGuard::StillGuard() : CFFGLPlugin(false), measure(kGrid, 7)
{
	SetMinInputs(1);
	SetMaxInputs(1);
	for (unsigned int index = 0; index < StillParameters::kCount; ++index)
		SetParamInfo(index, StillParameters::Name(index), FF_TYPE_STANDARD, GetFloatParameter(index));
}

unsigned int StillGuard::InitGL(const FFGLViewportStructTag* vp)
{
	if (vp == nullptr)
		return FF_FAIL;
	measure.SetViewport(*vp);
	if (!BuildPassThrough(shader, quad, kPassThroughVertexShader, kPassThroughFragmentShader))
	{
		DeInitGL();
		return FF_FAIL;
	}
	currentViewport = *vp;
	return FF_SUCCESS;
}

unsigned int StillGuard::DeInitGL()
{
	shader.FreeGLResources();
	quad.Release();
	return FF_SUCCESS;
}

char* StillGuard::GetParameterDisplay(unsigned int index)
{
	parameters.Display(index, displayText, sizeof(displayText));
	return displayText;
}

unsigned int StillGuard::SetFloatParameter(unsigned int index, float value)
{
	return parameters.Set(index, value) ? FF_SUCCESS : FF_FAIL;
}

float StillGuard::GetFloatParameter(unsigned int index)
{
	return parameters.Get(index);
}

unsigned int StillGuard::ProcessOpenGL(ProcessOpenGLStructTag* record)
{
	const FFGLTextureStructTag* input = FirstInput(record);
	if (input == nullptr)
		return FF_FAIL;
	DrawPassThrough(shader, quad, *input);

	LumaSamples samples;
	{
		const GLPixelReader reader;
		measure.Read(reader, samples);
	}
	const std::int64_t now = SteadyClockNs();
	if (watch.Advance(samples, parameters, now).send)
		parameters.Target().Send();
	return FF_SUCCESS;
}
