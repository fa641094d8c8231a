// ModuleWatch: what `ffgl-host run` and `ffgl-host calibrate` follow of a
// watching module, in the module's own units: what it measures of a picture,
// its rules, and for each frame's measure and clock reading each rule's
// measure and verdict, whether it is armed and whether it sends. Set from the
// slider values an instance holds. Each watching module's watch is found by
// its ID in one table (ModuleWatches); nothing else in the tools knows a
// plug-in's classes or parameters.
#pragma once

#include "tools/run/SuggestedThreshold.h"
#include "watching/CellGrid.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ffgltool
{

// A drawn picture held in memory: RGBA, 4 bytes a pixel, rows without padding
// from the bottom up, as GL reads a framebuffer and holds a texture.
struct Picture
{
	const std::uint8_t* pixels = nullptr;
	std::uint32_t width = 0;
	std::uint32_t height = 0;
};

// What a module's rules judge of one picture: the black rule's values (it
// judges the brightest) and the still rule's. A module that reads one array of
// samples has it in both.
struct FrameValues
{
	LumaSamples black;
	LumaSamples still;
};

struct WatchRule
{
	std::string name;                    // "black", "still": its verdict's trace column
	std::string measure;                 // its measure's trace column: "brightest_luma", "largest_change"
	std::string description;             // what it judges, at the sliders set, for the run's header
	float threshold = 0.0f;              // working units, at the sliders set
	std::string thresholdDisplay;        // the threshold as its slider displays it: "3.5%"
	float hold = 0.0f;                   // seconds, at the sliders set
	std::string thresholdSlider;         // the parameters that set them: "Black Threshold"
	std::string holdSlider;              // "Black Hold"
	SliderMapping thresholdAt = nullptr; // the threshold the module makes of a slider value
};

class ModuleWatch
{
public:
	static constexpr std::size_t kMaxRules = 2;

	struct RuleVerdict
	{
		float measure = 0.0f;
		bool judged = false; // the rule sees a drop-out in the frame
	};
	// One frame, rules in the order Rules() lists them.
	struct Verdicts
	{
		std::array<RuleVerdict, kMaxRules> rules{};
		bool armed = false; // after the frame
		bool send = false;  // the next-clip message goes for the frame
	};

	ModuleWatch() = default;
	virtual ~ModuleWatch() = default;
	ModuleWatch(const ModuleWatch&) = delete;
	ModuleWatch& operator=(const ModuleWatch&) = delete;

	// What the module measures of picture, as it would in its frame.
	virtual void Measure(const Picture& picture, FrameValues& out) const = 0;
	// At the sliders set; a black rule comes first.
	virtual std::vector<WatchRule> Rules() const = 0;
	// The sliders timed on the module's own clock: "Black Hold", "Recovery".
	virtual std::vector<std::string> TimedSliders() const = 0;
	// names and sliders: an instance's parameters in order and their
	// host-side values; a name the module does not list at that index is
	// ignored.
	virtual void Set(const std::vector<std::string>& names, const std::vector<float>& sliders) = 0;
	// One drawn frame's values, from Measure, at nowNs on the run's clock.
	virtual Verdicts Frame(const FrameValues& values, std::int64_t nowNs) = 0;
	// Once, a warning the rules have for the frames so far; empty otherwise.
	virtual std::string TakeWarning() = 0;
};

} // namespace ffgltool
