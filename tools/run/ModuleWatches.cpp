#include "tools/run/ModuleWatches.h"

#include "guard/GuardParameters.h"
#include "tools/run/FlatDarkWarning.h"
#include "watch/DropOutWatch.h"
#include "watch/TenebrixorWatch.h"
#include "watch/WatchParameters.h"
#include "watching/Arming.h"
#include "watching/BlackWatch.h"
#include "watching/StillRun.h"

#include <cstdio>

namespace ffgltool
{

const char kBlackGuardId[] = "TNBX";
const char kWatchId[] = "TNBW";

namespace
{

// The working value a module's slider table makes of a host-side value.
template <class Parameters, unsigned int Index, float (Parameters::*Working)() const>
float WorkingAt(float slider)
{
	Parameters parameters;
	parameters.Set(Index, slider);
	return (parameters.*Working)();
}

// What the black guard and the Watch share: a slider table set by name and
// index, and a black rule on a grid of their own.
template <class Parameters>
class SliderWatch : public ModuleWatch
{
public:
	explicit SliderWatch(const SampleMeasure& grid) : grid(grid) {}

	const SampleMeasure& Measure() const override { return grid; }

	void Set(const std::vector<std::string>& names, const std::vector<float>& sliders) override
	{
		for (std::size_t i = 0; i < names.size() && i < sliders.size(); ++i)
			if (names[i] == Parameters::Name(static_cast<unsigned int>(i)))
				parameters.Set(static_cast<unsigned int>(i), sliders[i]);
	}

	std::string TakeWarning() override { return flatDark.Take(); }

protected:
	static constexpr SliderMapping kBlackAt =
		&WorkingAt<Parameters, Parameters::kBlackThreshold, &Parameters::BlackThreshold>;

	std::string Display(unsigned int index) const
	{
		char text[32];
		parameters.Display(index, text, sizeof text);
		return text;
	}

	WatchRule BlackRule() const
	{
		const std::string shown = Display(Parameters::kBlackThreshold);
		char text[160];
		std::snprintf(text, sizeof text, "brightest of %zu grid points of the output at or below %s luma", grid.Count(),
			shown.c_str());
		return { "black", "brightest_luma", text, parameters.BlackThreshold(), shown, parameters.BlackHold(),
			Parameters::Name(Parameters::kBlackThreshold), Parameters::Name(Parameters::kBlackHold), kBlackAt };
	}

	// Whether some rule caught the frame, followed for the black rule's
	// warning: a flat dark picture that another rule catches needs no other
	// threshold.
	void FollowBlack(const LumaSamples& samples, bool caught, std::int64_t nowNs)
	{
		flatDark.Frame(samples, caught, static_cast<double>(nowNs) / 1e9,
			{ Parameters::Name(Parameters::kBlackThreshold), kBlackAt, parameters.BlackThreshold(),
				parameters.BlackHold() });
	}

	Parameters parameters;

private:
	SampleMeasure grid;
	FlatDarkWarning flatDark;
};

// As AddSubtract composes them: the black rule's run and one arming.
class GuardWatch final : public SliderWatch<GuardParameters>
{
public:
	GuardWatch() : SliderWatch(SampleMeasure()) {}

	std::vector<WatchRule> Rules() const override { return { BlackRule() }; }

	std::vector<std::string> TimedSliders() const override
	{
		return { GuardParameters::Name(GuardParameters::kBlackHold),
			GuardParameters::Name(GuardParameters::kRecovery) };
	}

	Verdicts Frame(const LumaSamples& samples, std::int64_t nowNs) override
	{
		const BlackWatch::Step step =
			black.Advance(samples, parameters.BlackThreshold(), parameters.BlackHold(), nowNs);
		Verdicts verdicts;
		verdicts.rules[0] = { step.verdict.brightest, step.verdict.black };
		verdicts.send = arming.Advance(step.verdict.black, step.due, nowNs, parameters.Recovery());
		verdicts.armed = arming.Armed();
		FollowBlack(samples, step.verdict.black, nowNs);
		return verdicts;
	}

private:
	BlackWatch black;
	Arming arming;
};

// As TenebrixorWatch composes them: both rules behind one arming.
class WatchWatch final : public SliderWatch<WatchParameters>
{
public:
	WatchWatch() : SliderWatch(SampleMeasure(TenebrixorWatch::kGrid, 7)) {}

	std::vector<WatchRule> Rules() const override
	{
		const std::string shown = Display(WatchParameters::kStillTolerance);
		char text[200];
		std::snprintf(text, sizeof text,
			"largest change of %zu grid points of the output from the run's first frame at or below %s luma, "
			"for at least %.2f s",
			Measure().Count(), shown.c_str(), static_cast<double>(StillRun::kRepeatGrace));
		const WatchRule still{ "still", "largest_change", text, parameters.StillTolerance(), shown,
			parameters.StillHold(), WatchParameters::Name(WatchParameters::kStillTolerance),
			WatchParameters::Name(WatchParameters::kStillHold),
			&WorkingAt<WatchParameters, WatchParameters::kStillTolerance, &WatchParameters::StillTolerance> };
		return { BlackRule(), still };
	}

	std::vector<std::string> TimedSliders() const override
	{
		return { WatchParameters::Name(WatchParameters::kBlackHold), WatchParameters::Name(WatchParameters::kStillHold),
			WatchParameters::Name(WatchParameters::kRecovery) };
	}

	Verdicts Frame(const LumaSamples& samples, std::int64_t nowNs) override
	{
		const DropOutWatch::Step step = watch.Advance(samples, parameters, nowNs);
		Verdicts verdicts;
		verdicts.rules[0] = { step.black.verdict.brightest, step.black.verdict.black };
		verdicts.rules[1] = { step.still.verdict.change, step.still.verdict.still };
		verdicts.armed = watch.Arms().Armed();
		verdicts.send = step.send;
		FollowBlack(samples, step.black.verdict.black || step.still.verdict.still, nowNs);
		return verdicts;
	}

private:
	DropOutWatch watch;
};

template <class Watch>
std::unique_ptr<ModuleWatch> Make()
{
	return std::make_unique<Watch>();
}

const struct
{
	const char* id;
	std::unique_ptr<ModuleWatch> (*make)();
} kWatches[] = {
	{ kBlackGuardId, &Make<GuardWatch> },
	{ kWatchId, &Make<WatchWatch> },
};

} // namespace

std::unique_ptr<ModuleWatch> FindModuleWatch(const std::string& id)
{
	for (const auto& watch : kWatches)
		if (id == watch.id)
			return watch.make();
	return nullptr;
}

} // namespace ffgltool
