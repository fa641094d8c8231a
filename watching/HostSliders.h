// HostSliders: the host's parameter calls of a watching plug-in answered from
// its slider table (a SliderTable), with the plug-in's own display text.
//
// Every slider is a standard (type 10) 0..1 parameter; the host learns each
// default in its host-side form, which is what every new instance is given
// back through SetFloatParameter.
#pragma once

#include "core/FFGLPlugin.h"

#include <cstddef>

template <class Sliders>
class HostSliders
{
public:
	// Makes plugin an effect of exactly one input with the table's sliders,
	// their defaults read back through plugin's GetFloatParameter.
	static void Register(CFFGLPlugin& plugin)
	{
		plugin.SetMinInputs(1);
		plugin.SetMaxInputs(1);
		for (unsigned int index = 0; index < Sliders::kCount; ++index)
			plugin.SetParamInfo(index, Sliders::Name(index), FF_TYPE_STANDARD, plugin.GetFloatParameter(index));
	}

	// The display text: this object's own 32 bytes, valid until the next call;
	// empty for an unknown index.
	char* Display(unsigned int index)
	{
		values.Display(index, displayText, sizeof(displayText));
		return displayText;
	}
	// Clamps to 0..1 (NaN counts as 1) and scales into working units; FF_FAIL
	// for an unknown index, which changes nothing.
	unsigned int Set(unsigned int index, float value) { return values.Set(index, value) ? FF_SUCCESS : FF_FAIL; }
	// The host-side 0..1 value; 0 for an unknown index.
	float Get(unsigned int index) const { return values.Get(index); }

	const Sliders& Values() const { return values; }

private:
	Sliders values;
	char displayText[32] = {};
};
