// GuardParameters: the black guard's five host sliders and their working
// units.
//
// The host sees plain 0..1 sliders; inside, the threshold is a luma fraction
// 0..0.25, the hold 0..10 s and the recovery 0..5 s; "Layer" and "OSC Port"
// are kept raw (NextClipTarget). Values are clamped to 0..1 before scaling, a
// NaN taken as 1; they are never refused.
#pragma once

#include "guard/NextClipTarget.h"
#include "guard/SliderTable.h"

#include <cstddef>

class GuardParameters
{
public:
	enum Index : unsigned int
	{
		kBlackThreshold = 0,
		kBlackHold = 1,
		kRecovery = 2,
		kLayer = 3,
		kOscPort = 4,
		kCount = 5,
	};

	static constexpr float kDefaultBlackThreshold = 0.035f;
	static constexpr float kMaxBlackThreshold = 0.25f;

	// The host-facing name of a parameter; null outside 0..4.
	static const char* Name(unsigned int index);

	// Stores a host value; false for an index outside 0..4, which changes
	// nothing.
	bool Set(unsigned int index, float value);
	// The host-side 0..1 value; 0 outside 0..4.
	float Get(unsigned int index) const;
	// The display text ("3.5%", "1.00 s", "0.50 s", "1", "7000"), at most size
	// bytes with the NUL; empty outside 0..4.
	void Display(unsigned int index, char* text, std::size_t size) const;

	float BlackThreshold() const { return blackThreshold; }
	float BlackHold() const { return blackHold; }
	float Recovery() const { return recovery; }
	const NextClipTarget& Target() const { return target; }

private:
	using Table = SliderTable<GuardParameters, 3>;
	static const Table::Rows kRows;

	float blackThreshold = kDefaultBlackThreshold; // luma, fraction of full white, 0..0.25
	float blackHold = 1.0f;                        // seconds black before the switch, 0..10
	float recovery = 0.5f;                         // seconds non-black before re-arming, 0..5
	NextClipTarget target;                         // layer 0.0 (layer 1), port 7000
};
