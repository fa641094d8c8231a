// Source: a quick-start plug-in that makes a picture without input. The body
// gets i_uv across the output, 0..1.
#pragma once

#include "ffglqs/Plugin.h"

namespace ffglqs
{
class Source : public Plugin
{
public:
	explicit Source(bool supportTopLeftTextureOrientation);
	~Source() override;
};

} // namespace ffglqs
