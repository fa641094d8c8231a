// StillParameters: the still guard's five host sliders and their working
// units: "Still Tolerance" a luma difference 0..0.05, "Still Hold" 0..10 s,
// "Recovery" 0..5 s, then "Layer" and "OSC Port" as the black guard has them
// (SliderTable).
#pragma once

#include "guard/SliderTable.h"

class StillParameters : public SliderTable<StillParameters, 3>
{
public:
	enum Index : unsigned int
	{
		kStillTolerance = 0,
		kStillHold = 1,
		kRecovery = 2,
	};

	// A frozen picture or a no-signal screen repeats its samples exactly; a
	// live camera's noise changes some sample in every frame (by at least
	// 1.1 % luma at +-3 levels of noise, and more than 0.2 % at +-1 level with
	// near certainty over 49 samples).
	static constexpr float kDefaultStillTolerance = 0.002f;

	float StillTolerance() const { return stillTolerance; }
	float StillHold() const { return stillHold; }
	float Recovery() const { return recovery; }

private:
	friend class SliderTable<StillParameters, 3>;
	static const Rows kRows;

	float stillTolerance = kDefaultStillTolerance; // luma difference, 0..0.05
	float stillHold = 2.0f;                        // seconds unchanged before the switch, 0..10
	float recovery = 0.5f;                         // seconds of moving picture before re-arming, 0..5
};
