#include "tools/run/RunCommand.h"

#include "ffglex/FFGLGL.h"
#include "ffglex/FFGLScopedBindings.h"
#include "tools/Command.h"
#include "tools/HostTexture.h"
#include "tools/ModuleMemory.h"
#include "tools/PluginModule.h"
#include "tools/run/ModuleWatches.h"
#include "tools/run/OscListener.h"
#include "tools/run/PaceWatch.h"
#include "tools/run/RawFrameReader.h"
#include "tools/run/RunHost.h"
#include "tools/run/RunOptions.h"
#include "tools/run/RunParameters.h"
#include "tools/run/RunReport.h"
#include "tools/run/RunWatch.h"
#include "tools/run/ShearCheck.h"
#include "tools/run/SyntheticCamera.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

namespace ffgltool
{
namespace
{

using Clock = RunReport::Clock;

std::string SizeText(const RunOptions& options)
{
	return std::to_string(options.width) + "x" + std::to_string(options.height);
}

// The footage: the synthetic camera, or raw frames from standard input or a
// file, and the number of frames the run takes (0: until the input ends).
std::unique_ptr<FrameSource> OpenFootage(const RunOptions& options, RawFrameFile& file, std::uint64_t& limit)
{
	std::unique_ptr<FrameSource> source;
	if (options.input == "-")
		source = std::make_unique<RawFrameReader>(stdin, options.width, options.height);
	else if (options.input == "synthetic" || options.input == "synthetic-still")
		source = std::make_unique<SyntheticCamera>(
			options.width, options.height, options.fps, options.input == "synthetic-still");
	else
	{
		std::string error;
		file = OpenRawFrameFile(options.input, options.width, options.height, error);
		if (!file)
			throw RunError(kExitRunError, error);
		source = std::make_unique<RawFrameReader>(file.get(), options.width, options.height, options.input);
	}
	limit = source->DefaultFrameCount();
	if (options.seconds)
		limit = static_cast<std::uint64_t>(std::max(1.0, std::round(*options.seconds * options.fps)));
	if (options.frames)
		limit = *options.frames;
	return source;
}

// Everything a run settles before its first frame.
struct Plan
{
	bool feedsInput = true;
	bool sendsTime = false;
	std::uint64_t limit = 0;
	std::unique_ptr<RunWatch> watch;
	RawFrameFile file;
	std::unique_ptr<FrameSource> source;
	std::unique_ptr<OscListener> listener;
};

class FrameRun
{
public:
	FrameRun(const RunOptions& options, std::ostream& out, std::ostream& err) : options(options), report(out, err) {}

	int Run()
	{
		PluginModule module;
		std::string loadError;
		if (!module.Load(options.modulePath, loadError))
			throw RunError(kExitModuleError, loadError);
		RunHost host(module);
		Plan plan = Prepare(host);
		Loop(host, plan);
		return kExitSuccess;
	}

private:
	// Checks the module, makes the context, instantiates and sets parameters,
	// opens the footage and the OSC port, and prints the header.
	Plan Prepare(RunHost& host)
	{
		PluginModule& module = host.module;
		const std::string& path = options.modulePath;

		PluginInfoStructTag info{};
		std::string infoError;
		if (!module.CopyInfo(info, infoError))
			throw RunError(kExitModuleError, path + ": " + infoError);
		if (info.APIMajorVersion != 2)
			throw RunError(kExitRunError,
				path + ": the module implements FFGL API " + std::to_string(info.APIMajorVersion) + "." +
					std::to_string(info.APIMinorVersion) + "; run drives FFGL 2 modules only");
		if (info.PluginType == FF_MIXER)
			throw RunError(kExitRunError,
				path + ": the module is a mixer; run feeds one input, so it runs effects and sources only");
		if (info.PluginType != FF_EFFECT && info.PluginType != FF_SOURCE)
			throw RunError(
				kExitRunError, path + ": the module has the unknown plug-in type " + std::to_string(info.PluginType));

		std::string glError;
		host.gl = HeadlessGL::Create(&glError);
		if (!host.gl)
			throw RunError(kExitRunError, "no headless OpenGL 4.1 context: " + glError);
		host.output = host.gl->CreateHostFramebuffer(options.width, options.height);
		if (!host.output.IsValid())
			throw RunError(kExitRunError, "cannot create an output framebuffer of " + SizeText(options));

		const std::uint32_t initialised = module.Initialise();
		if (initialised != FF_SUCCESS)
			throw RunError(kExitModuleError, path + ": the module failed to initialise (code 34)");
		host.initialised = true;

		Plan plan;
		const std::uint32_t minInputs = module.GetPluginCaps(FF_CAP_MINIMUM_INPUT_FRAMES);
		const std::uint32_t maxInputs = module.GetPluginCaps(FF_CAP_MAXIMUM_INPUT_FRAMES);
		if (minInputs != FF_FAIL && minInputs > 1)
			throw RunError(kExitRunError,
				path + ": the module needs " + std::to_string(minInputs) +
					" inputs; run feeds one, so it runs effects and sources only");
		plan.feedsInput = info.PluginType == FF_EFFECT && maxInputs != 0;
		plan.sendsTime = module.GetPluginCaps(FF_CAP_SET_TIME) == FF_SUPPORTED;

		const RunParameters parameters = RunParameters::Read(module, path);
		const FFGLViewportStructTag viewport{ 0, 0, static_cast<std::uint32_t>(options.width),
			static_cast<std::uint32_t>(options.height) };
		host.instance = module.Instantiate(viewport);
		if (host.instance == nullptr)
			throw RunError(kExitModuleError,
				path + ": the module refused to create an instance for " + SizeText(options) + " (code 18)");
		parameters.Apply(module, host.instance, options.settings, path);
		const std::vector<std::string> displays = parameters.Displays(module, host.instance);

		std::optional<int> port = options.listenPort;
		if (!port)
			port = OscListener::DisplayedPort(path, parameters.names, displays);
		if (port)
			plan.listener = std::make_unique<OscListener>(*port);
		plan.source = OpenFootage(options, plan.file, plan.limit);
		std::vector<float> sliders;
		for (std::uint32_t i = 0; i < parameters.names.size(); ++i)
			sliders.push_back(IsTextLikeParamType(parameters.types[i])
					? 0.0f
					: PluginModule::FloatFromBits(module.GetParameter(host.instance, i).UIntValue));
		std::unique_ptr<ModuleWatch> watch =
			FindModuleWatch(FieldText(info.PluginUniqueID, sizeof info.PluginUniqueID));
		if (watch)
			watch->Set(parameters.names, sliders);
		plan.watch = std::make_unique<RunWatch>(
			std::move(watch), options.width, options.height, options.tracePath, options.plotPath);

		report.PrintHeader({ path, FieldText(info.PluginName, sizeof info.PluginName), info.PluginType == FF_SOURCE,
			SizeText(options), options.fps, options.paced, plan.limit, host.gl->Renderer(), plan.source->Describe(),
			plan.feedsInput, parameters.names, displays, plan.watch->Rules(), port.value_or(0) });
		return plan;
	}

	void Loop(RunHost& host, Plan& plan)
	{
		PluginModule& module = host.module;
		const int width = options.width;
		const int height = options.height;
		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);

		host.inputTexture = CreateInputTexture(width, height, nullptr);
		if (host.inputTexture == 0)
			throw RunError(kExitRunError, "cannot create an input texture of " + SizeText(options));
		FFGLTextureStructTag texture{ static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
			static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), host.inputTexture };
		FFGLTextureStructTag* inputs[1] = { &texture };
		ProcessOpenGLStructTag frame{};
		frame.numInputTextures = plan.feedsInput ? 1 : 0;
		frame.inputTextures = plan.feedsInput ? inputs : nullptr;
		frame.HostFBO = host.output.framebuffer;

		const auto period =
			std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.fps));
		const Clock::time_point start = Clock::now();
		report.Start(start);
		Clock::time_point pace = start;
		PaceWatch realTime(options.fps);
		std::uint64_t n = 0;
		for (; plan.limit == 0 || n < plan.limit; ++n)
		{
			if (options.paced)
			{
				// Frames keep to their schedule; after a stall (a slow pipe) the
				// schedule starts again from now instead of catching up in a burst.
				const Clock::time_point due = pace + static_cast<Clock::rep>(n) * period;
				const Clock::time_point now = Clock::now();
				if (now < due)
					std::this_thread::sleep_until(due);
				else if (now - due > 2 * period)
					pace += now - due;
			}

			std::string sourceError;
			const FrameSource::Result read = plan.source->Next(n, pixels.data(), sourceError);
			if (read == FrameSource::Result::End)
				break;
			if (read == FrameSource::Result::Error)
				throw RunError(kExitRunError, sourceError);
			if (!shearSettled && !IsSynthetic(options))
				shearSettled = WarnIfSheared(n, pixels);

			if (plan.feedsInput)
				UploadInputTexture(host.inputTexture, width, height, pixels.data());
			HeadlessGL::BindHostFramebuffer(host.output);
			const GLfloat transparentBlack[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
			glClearBufferfv(GL_COLOR, 0, transparentBlack);
			if (plan.sendsTime)
				module.SetTime(host.instance, static_cast<double>(n) / options.fps);

			const bool drawn = module.ProcessOpenGL(host.instance, frame) == FF_SUCCESS;
			const Clock::time_point drawnAt = Clock::now();
			const double seconds = std::chrono::duration<double>(drawnAt - start).count();
			ModuleWatch::Verdicts verdicts;
			if (drawn)
			{
				// The module may have left other framebuffers bound.
				HeadlessGL::BindHostFramebuffer(host.output);
				UseDefaultPixelStore();
				ffglex::ScopedBufferBinding clientMemory(GL_PIXEL_PACK_BUFFER, 0);
				verdicts = plan.watch->Judge(seconds);
				report.Judged(n, verdicts, drawnAt);
			}
			else
				report.Refused(n);

			// Everything that has arrived belongs to the frame just drawn: the
			// module sends from inside code 17, and a datagram on the loopback
			// interface is queued before sendto returns.
			const std::vector<std::string> texts = plan.listener ? plan.listener->Drain() : std::vector<std::string>();
			const Clock::time_point now = Clock::now();
			report.Received(n, texts, now);
			plan.watch->Record(n, seconds, drawn ? &verdicts : nullptr, texts.size());
			const std::string warning = plan.watch->TakeWarning();
			if (!warning.empty())
				report.Warn(warning);
			const std::string late =
				options.paced ? realTime.Frame(n, std::chrono::duration<double>(now - start).count()) : std::string();
			if (!late.empty())
				report.Warn(late);
			report.Progress(n, plan.limit, now);
		}
		if (plan.listener && n > 0)
			report.Received(n - 1, plan.listener->Drain(), Clock::now());
		report.PrintSummary(n, Clock::now());
		if (plan.listener)
			report.NoteSilence(options.paced, plan.watch->TimedSliders());
		plan.watch->WritePlot();
	}

	static bool IsSynthetic(const RunOptions& options)
	{
		return options.input == "synthetic" || options.input == "synthetic-still";
	}

	// Frames of another size than --size show up sheared: a warning at the
	// first frame that is not too flat to tell, long before a stream's end
	// could. True once a frame has told.
	bool WarnIfSheared(std::uint64_t n, const std::vector<std::uint8_t>& bottomUp)
	{
		const std::size_t rowBytes = static_cast<std::size_t>(options.width) * 4;
		topDown.resize(bottomUp.size());
		for (int y = 0; y < options.height; ++y)
			std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y)),
				rowBytes,
				topDown.begin() +
					static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(options.height - 1 - y)));
		const std::optional<int> likely = LikelyRowWidth(topDown.data(), options.width, options.height);
		if (likely && *likely != options.width)
			report.Warn("frame " + std::to_string(n) + " looks sheared: its rows line up at a width of " +
				std::to_string(*likely) + " pixels, not " + std::to_string(options.width) + "; are the frames " +
				std::to_string(*likely) + " pixels wide? (check --size)");
		return likely.has_value();
	}

	const RunOptions& options;
	RunReport report;
	bool shearSettled = false;
	std::vector<std::uint8_t> topDown; // the frame as the stream held it, for the shear check
};

} // namespace

int RunRunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	try
	{
		RunOptions options;
		if (const std::optional<int> status = ReadRunOptions(args, options, out, err))
			return *status;
		FrameRun run(options, out, err);
		return run.Run();
	}
	catch (const RunError& error)
	{
		out << std::flush;
		PrintError(err, error.what());
		return error.Status();
	}
	catch (const PluginFault& fault)
	{
		out << std::flush;
		PrintError(err, fault.what());
		return kExitModuleError;
	}
}

} // namespace ffgltool
