#include "tools/run/ModuleWatches.h"

#include "guard/GuardParameters.h"
#include "tools/run/FlatDarkWarning.h"
#include "watch/DropOutWatch.h"
#include "watch/WatchParameters.h"
#include "watching/Arming.h"
#include "watching/BlackWatch.h"
#include "watching/MemoryPixelReader.h"
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
// index, and a black rule.
template <class Parameters>
class SliderWatch : public ModuleWatch
{
public:

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

	// measured: what the rule takes the brightest of ("25 grid points of the
	// output"), and its trace column.
	WatchRule BlackRule(const std::string& measured, const std::string& column) const
	{
		const std::string shown = Display(Parameters::kBlackThreshold);
		const std::string text = "brightest of " + measured + " at or below " + shown + " luma";
		return { "black", column, text, parameters.BlackThreshold(), shown, parameters.BlackHold(),
			Parameters::Name(Parameters::kBlackThreshold), Parameters::Name(Parameters::kBlackHold), kBlackAt };
	}

	// Whether some rule caught the frame, followed for the black rule's
	// warning: a flat dark picture that another rule catches needs no other
	// threshold.
	void FollowBlack(const FrameValues& values, bool caught, std::int64_t nowNs)
	{
		flatDark.Frame(values.black, caught, static_cast<double>(nowNs) / 1e9,
			{ Parameters::Name(Parameters::kBlackThreshold), kBlackAt, parameters.BlackThreshold(),
				parameters.BlackHold() });
	}

	Parameters parameters;

private:
	FlatDarkWarning flatDark;
};

// As AddSubtract composes them: the black rule's run and one arming.
class GuardWatch final : public SliderWatch<GuardParameters>
{
public:
	void Measure(const Picture& picture, FrameValues& out) const override
	{
		SampleMeasure grid;
		grid.SetViewport({ 0, 0, picture.width, picture.height });
		grid.Read(MemoryPixelReader(picture.pixels, picture.width, picture.height, MemoryPixelReader::Rows::BottomUp),
			out.black);
		out.still = out.black;
	}

	std::vector<WatchRule> Rules() const override
	{
		return { BlackRule(std::to_string(SampleMeasure().Count()) + " grid points of the output", "brightest_luma") };
	}

	std::vector<std::string> TimedSliders() const override
	{
		return { GuardParameters::Name(GuardParameters::kBlackHold),
			GuardParameters::Name(GuardParameters::kRecovery) };
	}

	Verdicts Frame(const FrameValues& values, std::int64_t nowNs) override
	{
		const BlackWatch::Step step =
			black.Advance(values.black, parameters.BlackThreshold(), parameters.BlackHold(), nowNs);
		Verdicts verdicts;
		verdicts.rules[0] = { step.verdict.brightest, step.verdict.black };
		verdicts.send = arming.Advance(step.verdict.black, step.due, nowNs, parameters.Recovery());
		verdicts.armed = arming.Armed();
		FollowBlack(values, step.verdict.black, nowNs);
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
	void Measure(const Picture& picture, FrameValues& out) const override
	{
		CellValues cells;
		CellGrid::Measure(picture.pixels, picture.width, picture.height, cells);
		out.black = cells.means;
		out.still = cells.points;
	}

	std::vector<WatchRule> Rules() const override
	{
		const std::string shown = Display(WatchParameters::kStillTolerance);
		const std::string cells = std::to_string(CellGrid::kCount) + " cells";
		char grace[16];
		std::snprintf(grace, sizeof grace, "%.2f", static_cast<double>(StillRun::kRepeatGrace));
		const std::string text = "largest change of the centre pixels of " + cells +
			" from the run's first frame at or below " + shown + " luma, for at least " + grace + " s";
		const WatchRule still{ "still", "largest_change", text, parameters.StillTolerance(), shown,
			parameters.StillHold(), WatchParameters::Name(WatchParameters::kStillTolerance),
			WatchParameters::Name(WatchParameters::kStillHold),
			&WorkingAt<WatchParameters, WatchParameters::kStillTolerance, &WatchParameters::StillTolerance> };
		return { BlackRule("the means of " + cells + " of the picture", "brightest_cell"), still };
	}

	std::vector<std::string> TimedSliders() const override
	{
		return { WatchParameters::Name(WatchParameters::kBlackHold), WatchParameters::Name(WatchParameters::kStillHold),
			WatchParameters::Name(WatchParameters::kRecovery) };
	}

	Verdicts Frame(const FrameValues& values, std::int64_t nowNs) override
	{
		CellValues cells;
		cells.means = values.black;
		cells.points = values.still;
		const DropOutWatch::Step step = watch.Advance(cells, parameters, nowNs);
		Verdicts verdicts;
		verdicts.rules[0] = { step.black.verdict.brightest, step.black.verdict.black };
		verdicts.rules[1] = { step.still.verdict.change, step.still.verdict.still };
		verdicts.armed = watch.Arms().Armed();
		verdicts.send = step.send;
		FollowBlack(values, step.black.verdict.black || step.still.verdict.still, nowNs);
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
