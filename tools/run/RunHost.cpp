#include "tools/run/RunHost.h"

namespace ffgltool
{
namespace
{

template <typename Call>
void Quietly(Call call)
{
	try
	{
		call();
	}
	catch (...)
	{
	}
}

} // namespace

RunHost::~RunHost()
{
	if (gl)
		gl->MakeCurrent();
	if (instance != nullptr)
		Quietly([&] { module.DeInstantiate(instance); });
	if (gl)
	{
		if (inputTexture != 0)
			glDeleteTextures(1, &inputTexture);
		HeadlessGL::DeleteHostFramebuffer(output);
		gl.reset();
	}
	if (initialised)
		Quietly([&] { module.DeInitialise(); });
}

} // namespace ffgltool
