// WatchParameters: the Watch's seven host sliders and their working units:
// "Black Threshold" a luma fraction 0..0.25 and "Black Hold" 0..10 s as the
// black guard has them, "Still Tolerance" a luma difference 0..0.05 and "Still
// Hold" 0..10 s, "Recovery" 0..5 s for both rules, then "Layer" and "OSC Port"
// (SliderTable).
#pragma once

#include "watching/SliderTable.h"

class WatchParameters : public SliderTable<WatchParameters, 5>
{
public:
	// The sliders' indices, in the order the host lists them.
	enum Index : unsigned int
	{
		kBlackThreshold,
		kBlackHold,
		kStillTolerance,
		kStillHold,
		kRecovery
	};

	// A frozen picture or a no-signal screen repeats its samples exactly; a
	// live camera's noise changes some cell's centre pixel in every frame (by at least
	// 1.1 % luma at +-3 levels of noise, and more than 0.2 % at +-1 level with
	// near certainty over 960 cells).
	static constexpr float kDefaultStillTolerance = 0.002f;

	float BlackThreshold() const { return blackThreshold; }
	float BlackHold() const { return blackHold; }
	float StillTolerance() const { return stillTolerance; }
	float StillHold() const { return stillHold; }
	float Recovery() const { return recovery; }

private:
	float blackThreshold = 0.035f;                 // luma, fraction of full white, 0..0.25
	float blackHold = 1.0f;                        // seconds black before the switch, 0..10
	float stillTolerance = kDefaultStillTolerance; // luma difference, 0..0.05
	float stillHold = 2.0f;                        // seconds unchanged before the switch, 0..10
	float recovery = 0.5f;                         // seconds of picture neither black nor still before re-arming, 0..5

	friend class SliderTable<WatchParameters, 5>;
	static const Rows kRows;
};
