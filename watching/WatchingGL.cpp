#include "watching/WatchingGL.h"

#include "watching/GLPixelReader.h"

unsigned int WatchingGL::InitGL(
	CFFGLPlugin& plugin, const FFGLViewportStructTag* vp, const char* vertexSource, const char* fragmentSource)
{
	if (vp == nullptr)
		return FF_FAIL;
	measure.SetViewport(*vp);
	if (!passThrough.Build(vertexSource, fragmentSource))
	{
		plugin.DeInitGL();
		return FF_FAIL;
	}
	plugin.currentViewport = *vp;
	return FF_SUCCESS;
}

unsigned int WatchingGL::DeInitGL()
{
	passThrough.Release();
	return FF_SUCCESS;
}

bool WatchingGL::Draw(const ProcessOpenGLStructTag* record)
{
	const FFGLTextureStructTag* input = FirstInput(record);
	if (input == nullptr)
		return false;
	passThrough.Draw(*input);
	return true;
}

void WatchingGL::Measure(LumaSamples& samples) const
{
	const GLPixelReader reader;
	measure.Read(reader, samples);
}
