// GuardParameters: the black guard's five host sliders and their working
// units: "Black Threshold" a luma fraction 0..0.25, "Black Hold" 0..10 s,
// "Recovery" 0..5 s, then "Layer" and "OSC Port" (SliderTable).
#pragma once

#include "watching/SliderTable.h"

class GuardParameters : public SliderTable<GuardParameters, 3>
{
public:
	enum Index : unsigned int
	{
		kBlackThreshold = 0,
		kBlackHold = 1,
		kRecovery = 2,
	};

	static constexpr float kDefaultBlackThreshold = 0.035f;
	static constexpr float kMaxBlackThreshold = 0.25f;

	float BlackThreshold() const { return blackThreshold; }
	float BlackHold() const { return blackHold; }
	float Recovery() const { return recovery; }

private:
	friend class SliderTable<GuardParameters, 3>;
	static const Rows kRows;

	float blackThreshold = kDefaultBlackThreshold; // luma, fraction of full white, 0..0.25
	float blackHold = 1.0f;                        // seconds black before the switch, 0..10
	float recovery = 0.5f;                         // seconds non-black before re-arming, 0..5
};
