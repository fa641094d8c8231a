#include "guard/AddSubtract.h"

#include "watching/BlackWatch.h"

AddSubtract::AddSubtract() : CFFGLPlugin(false), gl(SampleMeasure())
{
	HostSliders<GuardParameters>::Register(*this);
}

AddSubtract::~AddSubtract() = default;

unsigned int AddSubtract::InitGL(const FFGLViewportStructTag* vp)
{
	return gl.InitGL(*this, vp, vertexShader, fragmentShader);
}

unsigned int AddSubtract::DeInitGL()
{
	return gl.DeInitGL();
}

char* AddSubtract::GetParameterDisplay(unsigned int index)
{
	return parameters.Display(index);
}

unsigned int AddSubtract::SetFloatParameter(unsigned int index, float value)
{
	return parameters.Set(index, value);
}

float AddSubtract::GetFloatParameter(unsigned int index)
{
	return parameters.Get(index);
}

unsigned int AddSubtract::ProcessOpenGL(ProcessOpenGLStructTag* record)
{
	if (!gl.Draw(record))
		return FF_FAIL;
	const std::int64_t now = SteadyClockNs();
	const bool black = FrameIsBlack();
	const GuardParameters& values = parameters.Values();
	if (arming.Advance(black, blackRun.Advance(black, now, values.BlackHold()), now, values.Recovery()))
		SendNextClip();
	return FF_SUCCESS;
}

bool AddSubtract::FrameIsBlack() const
{
	LumaSamples samples;
	gl.Measure(samples);
	return BlackWatch::Judge(samples, parameters.Values().BlackThreshold()).black;
}

void AddSubtract::SendNextClip() const
{
	parameters.Values().Target().Send();
}
