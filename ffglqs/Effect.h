// Effect: a quick-start plug-in that transforms one input picture.
//
// The body samples the input as texture(inputTexture, i_uv); i_uv already
// covers only the picture inside the host's texture (maxUV).
#pragma once

#include "ffglqs/Plugin.h"

namespace ffglqs
{
class Effect : public Plugin
{
public:
	explicit Effect(bool supportTopLeftTextureOrientation);
	~Effect() override;

	// FF_FAIL without a first input, with no GL call; otherwise the input is
	// bound on unit 0 as "inputTexture", "maxUV" is set and the quad drawn.
	unsigned int Render(ProcessOpenGLStructTag* process) override;
};

} // namespace ffglqs
