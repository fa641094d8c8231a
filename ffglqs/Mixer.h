// Mixer: a quick-start plug-in that blends two input pictures.
//
// The first input is the destination, sampled as texture(textureDest,
// i_uv_dest), the second the source, texture(textureSrc, i_uv_src). The mix
// amount is the parameter "mixVal" (0 at creation), which reaches the body as
// the uniform float mixVal.
#pragma once

#include "ffglqs/Plugin.h"

namespace ffglqs
{
class Mixer : public Plugin
{
public:
	explicit Mixer(bool supportTopLeftTextureOrientation);
	~Mixer() override;

	// FF_FAIL without both inputs, with no GL call; otherwise the destination
	// is bound on unit 0 and the source on unit 1, "textureDest", "maxUVDest",
	// "textureSrc" and "maxUVSrc" are set and the quad drawn.
	unsigned int Render(ProcessOpenGLStructTag* process) override;
};

} // namespace ffglqs
