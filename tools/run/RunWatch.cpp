#include "tools/run/RunWatch.h"

#include "tools/Command.h"
#include "tools/run/RunOptions.h"
#include "watching/ScopedPixelPackDefaults.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace ffgltool
{

RunWatch::RunWatch(std::unique_ptr<ModuleWatch> watched, int width, int height, const std::string& tracePath,
	const std::string& plotPath) :
	watch(std::move(watched)),
	width(width),
	height(height),
	plotPath(plotPath)
{
	if (watch)
	{
		rules = watch->Rules();
		pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
	}

	if (tracePath.empty())
		return;
	trace = std::fopen(tracePath.c_str(), "w");
	if (trace == nullptr)
		throw RunError(kExitRunError, "cannot write the trace " + tracePath + ": " + std::strerror(errno));
	std::string head = "frame,time_s";
	for (const WatchRule& rule : rules)
		head += "," + rule.measure + "," + rule.name;
	Write(head + (watch ? ",armed,sent\n" : ",sent\n"));
}

RunWatch::~RunWatch()
{
	if (trace != nullptr)
		std::fclose(trace);
}

std::vector<std::string> RunWatch::TimedSliders() const
{
	return watch ? watch->TimedSliders() : std::vector<std::string>();
}

ModuleWatch::Verdicts RunWatch::Judge(double seconds)
{
	if (!watch)
		return {};
	{
		const ScopedPixelPackDefaults packDefaults;
		glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	}
	watch->Measure({ pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height) }, values);
	return watch->Frame(values, static_cast<std::int64_t>(std::llround(seconds * 1e9)));
}

void RunWatch::Record(std::uint64_t n, double seconds, const ModuleWatch::Verdicts* judged, std::size_t messages)
{
	char field[64];
	std::snprintf(field, sizeof field, "%llu,%.3f", static_cast<unsigned long long>(n), seconds);
	std::string line = field;
	for (std::size_t r = 0; r < rules.size(); ++r)
	{
		if (judged != nullptr)
			std::snprintf(field, sizeof field, ",%.4f,%d", static_cast<double>(judged->rules[r].measure),
				judged->rules[r].judged ? 1 : 0);
		line += judged != nullptr ? field : ",,";
	}
	if (watch)
		line += judged == nullptr ? "," : judged->armed ? ",1" : ",0";
	Write(line + "," + std::to_string(messages) + "\n");
	if (!plotPath.empty())
		plotted.push_back(
			{ seconds, judged != nullptr ? *judged : ModuleWatch::Verdicts(), static_cast<unsigned int>(messages) });
}

void RunWatch::WritePlot() const
{
	if (!plotPath.empty())
		WriteRunPlot(plotPath, plotted, rules);
}

std::string RunWatch::TakeWarning()
{
	return watch ? watch->TakeWarning() : std::string();
}

void RunWatch::Write(const std::string& line)
{
	if (trace != nullptr)
		std::fputs(line.c_str(), trace);
}

} // namespace ffgltool
