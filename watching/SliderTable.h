// SliderTable: the host side of a watching plug-in's parameters. A table of
// sliders scaled into working units, then "Layer" and "OSC Port"
// (NextClipTarget).
//
// Every slider is a plain 0..1 value to the host; a value is clamped to 0..1
// (a NaN taken as 1), never refused, and stored as slider × max in the member
// its row names. The display is the row's format applied to the working value
// × displayFactor. All arithmetic is single precision.
//
// A plug-in's parameter class derives from SliderTable<Itself, N> and defines
// `static const Rows kRows` naming its own members (made a friend of the base).
#pragma once

#include "watching/NextClipTarget.h"
#include "watching/Slider.h"

#include <cstddef>
#include <cstdio>

template <class Owner>
struct ScaledSlider
{
	const char* name;
	float Owner::*value; // the working value
	float max;           // the working value at slider 1
	float displayFactor;
	const char* format; // one double
};

template <class Owner, std::size_t N>
class SliderTable
{
public:
	static constexpr unsigned int kLayer = N;
	static constexpr unsigned int kOscPort = N + 1;
	static constexpr unsigned int kCount = N + 2;

	using Rows = ScaledSlider<Owner>[N];

	// The host-facing name; null outside 0..kCount-1.
	static const char* Name(unsigned int index)
	{
		if (index < N)
			return Owner::kRows[index].name;
		if (index == kLayer)
			return "Layer";
		return index == kOscPort ? "OSC Port" : nullptr;
	}

	// Stores a host value; false for an unknown index, which changes nothing.
	bool Set(unsigned int index, float value)
	{
		const float v = ClampUnit(value);
		if (index < N)
			static_cast<Owner&>(*this).*(Owner::kRows[index].value) = v * Owner::kRows[index].max;
		else if (index == kLayer)
			target.SetLayer(v);
		else if (index == kOscPort)
			target.SetOscPort(v);
		else
			return false;
		return true;
	}

	// The host-side 0..1 value; 0 for an unknown index.
	float Get(unsigned int index) const
	{
		if (index < N)
			return Working(index) / Owner::kRows[index].max;
		if (index == kLayer)
			return target.Layer();
		return index == kOscPort ? target.OscPort() : 0.0f;
	}

	// The display text, at most size bytes with the NUL; empty for an unknown
	// index.
	void Display(unsigned int index, char* text, std::size_t size) const
	{
		if (index < N)
			std::snprintf(text, size, Owner::kRows[index].format,
				static_cast<double>(Working(index) * Owner::kRows[index].displayFactor));
		else if (index == kLayer)
			target.DisplayLayer(text, size);
		else if (index == kOscPort)
			target.DisplayOscPort(text, size);
		else if (size > 0)
			text[0] = '\0';
	}

	const NextClipTarget& Target() const { return target; }

private:
	float Working(unsigned int index) const { return static_cast<const Owner&>(*this).*(Owner::kRows[index].value); }

	NextClipTarget target; // layer 0.0 (layer 1), port 7000
};
