#include "tools/RunCommand.h"

#include "ffglex/FFGLGL.h"
#include "ffglex/FFGLScopedBindings.h"
#include "support/HeadlessGL.h"
#include "support/UdpReceiver.h"
#include "tools/Command.h"
#include "tools/HostTexture.h"
#include "tools/ModuleMemory.h"
#include "tools/OscMessage.h"
#include "tools/PluginModule.h"
#include "tools/RawFrameReader.h"
#include "tools/SyntheticCamera.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <thread>

namespace ffgltool
{
namespace
{

using Clock = std::chrono::steady_clock;

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 360;
constexpr int kMaxSide = 16384;
constexpr double kDefaultFps = 30.0;
constexpr double kMaxFps = 1000.0;
// The guard's default threshold: 3.5 % luma.
constexpr float kDefaultBlackThreshold = 0.035f;
// A progress line goes to stderr after this long without any other output.
constexpr auto kQuietInterval = std::chrono::seconds(5);
constexpr std::size_t kMaxTextLength = 1024;

const char kHelp[] =
	"usage: ffgl-host run MODULE [OPTIONS]\n"
	"\n"
	"Drives a plug-in module frame by frame as a host does, on a headless OpenGL\n"
	"context, and prints each OSC message that arrives while it runs.\n"
	"\n"
	"Options:\n"
	"  --input synthetic   the built-in synthetic camera (default): colour bars with\n"
	"                      moving content, black from 3.0 to 4.5 s and from 7.0 to\n"
	"                      8.5 s, 10 s in all\n"
	"  --input -           raw RGBA frames of the run's size from standard input, e.g.\n"
	"                      ffmpeg -i clip.mp4 -f rawvideo -pix_fmt rgba -s 640x360 - |\n"
	"                        ffgl-host run MODULE --input -\n"
	"  --size WxH          output and input size (default 640x360)\n"
	"  --fps N             frames per second, paced in real time (default 30)\n"
	"  --unpaced           feed frames as fast as possible; the module's own clock\n"
	"                      then runs slower than the input's frame times\n"
	"  --frames N          stop after N frames\n"
	"  --seconds S         stop after S seconds of frames (S x fps frames)\n"
	"  --set \"NAME=VALUE\"  set a parameter by name to a host-side 0..1 value (text\n"
	"                      parameters take the text); may be repeated\n"
	"  --listen PORT       listen for OSC on 127.0.0.1:PORT instead of the port the\n"
	"                      module's \"OSC Port\" parameter displays\n"
	"\n"
	"By default the synthetic camera plays once; standard input plays to its end.\n"
	"Effects get the input as one texture; sources get no input texture and the\n"
	"input only sets the number of frames; mixers cannot be run.\n"
	"\n"
	"Black runs are judged on the drawn output, by the guard's own measure: a frame\n"
	"is black when the brightest of 25 points on a 5 x 5 grid (at 10, 30, 50, 70\n"
	"and 90 % of each side) has a Rec. 709 luma at or below the threshold that the\n"
	"module's \"Black Threshold\" parameter displays, or 3.5 % for a module without\n"
	"one. Frames the module refuses (code 17 answers FF_FAIL) are not judged.\n"
	"\n"
	"Exit status: 0 success, 1 the module cannot be loaded or answers nonsense,\n"
	"2 wrong usage (an unknown option or parameter name, a bad value), 3 the module\n"
	"crashed, 4 the run could not go on (no GL context, a busy port, input frames\n"
	"of the wrong size, a mixer).\n";

// Ends the run with one error line and an exit status.
class RunError : public std::runtime_error
{
public:
	RunError(int status, const std::string& message) : std::runtime_error(message), status(status) {}
	int Status() const { return status; }

private:
	int status;
};

struct Setting
{
	std::string name;
	std::string value;
};

struct RunOptions
{
	std::string modulePath;
	int width = kDefaultWidth;
	int height = kDefaultHeight;
	double fps = kDefaultFps;
	bool paced = true;
	std::optional<std::uint64_t> frames;
	std::optional<double> seconds;
	std::vector<Setting> settings;
	bool stdinInput = false;
	std::optional<int> listenPort;
	bool help = false;
};

bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& value)
{
	if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
		return false;
	errno = 0;
	const unsigned long long parsed = std::strtoull(text.c_str(), nullptr, 10);
	if (errno != 0 || parsed > max)
		return false;
	value = parsed;
	return true;
}

bool ParseReal(const std::string& text, double& value)
{
	if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
		return false;
	char* end = nullptr;
	value = std::strtod(text.c_str(), &end);
	return end == text.c_str() + text.size() && std::isfinite(value);
}

RunOptions ParseOptions(const std::vector<std::string>& args)
{
	RunOptions options;
	const auto usage = [](const std::string& message) { return RunError(kExitUsage, message); };
	for (std::size_t i = 0; i < args.size(); ++i)
	{
		const std::string& arg = args[i];
		if (arg == "-h" || arg == "--help")
		{
			options.help = true;
			return options;
		}
		if (arg.empty() || arg[0] != '-' || arg == "-")
		{
			if (!options.modulePath.empty())
				throw usage("usage: ffgl-host run MODULE [OPTIONS]: one module only (try 'ffgl-host run --help')");
			options.modulePath = arg;
			continue;
		}
		if (arg == "--unpaced")
		{
			options.paced = false;
			continue;
		}
		if (i + 1 >= args.size())
			throw usage("option " + arg + " needs a value (try 'ffgl-host run --help')");
		const std::string& value = args[++i];
		std::uint64_t number = 0;
		double real = 0.0;
		if (arg == "--size")
		{
			const auto x = value.find('x');
			std::uint64_t w = 0;
			std::uint64_t h = 0;
			if (x == std::string::npos || !ParseUnsigned(value.substr(0, x), kMaxSide, w) ||
				!ParseUnsigned(value.substr(x + 1), kMaxSide, h) || w == 0 || h == 0)
				throw usage(
					"--size takes WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide) + ", not '" + value + "'");
			options.width = static_cast<int>(w);
			options.height = static_cast<int>(h);
		}
		else if (arg == "--fps")
		{
			if (!ParseReal(value, real) || real <= 0.0 || real > kMaxFps)
				throw usage("--fps takes a number of frames per second above 0 and up to 1000, not '" + value + "'");
			options.fps = real;
		}
		else if (arg == "--frames")
		{
			if (!ParseUnsigned(value, UINT64_MAX / 2, number) || number == 0)
				throw usage("--frames takes a positive whole number, not '" + value + "'");
			options.frames = number;
		}
		else if (arg == "--seconds")
		{
			if (!ParseReal(value, real) || real <= 0.0 || real > 1e7)
				throw usage("--seconds takes a positive number, not '" + value + "'");
			options.seconds = real;
		}
		else if (arg == "--set")
		{
			const auto equals = value.find('=');
			if (equals == std::string::npos || equals == 0)
				throw usage("--set takes \"NAME=VALUE\", not '" + value + "'");
			options.settings.push_back({ value.substr(0, equals), value.substr(equals + 1) });
		}
		else if (arg == "--input")
		{
			if (value == "-")
				options.stdinInput = true;
			else if (value == "synthetic")
				options.stdinInput = false;
			else
				throw usage("--input takes 'synthetic' or '-' (standard input), not '" + value + "'");
		}
		else if (arg == "--listen")
		{
			if (!ParseUnsigned(value, 65535, number) || number == 0)
				throw usage("--listen takes a UDP port from 1 to 65535, not '" + value + "'");
			options.listenPort = static_cast<int>(number);
		}
		else
			throw usage("unknown option '" + arg + "' (try 'ffgl-host run --help')");
	}
	if (options.modulePath.empty())
		throw usage("usage: ffgl-host run MODULE [OPTIONS] (try 'ffgl-host run --help')");
	return options;
}

// A text the module handed out, or nothing when it is null, unreadable or
// unterminated.
std::optional<std::string> ModuleText(const char* text)
{
	std::string read;
	if (SafeReadText(text, kMaxTextLength, read) != TextRead::Ok)
		return std::nullopt;
	return read;
}

struct Parameter
{
	std::string name;
	std::uint32_t type = 0;
};

// The run's GL objects and the module instance, released in the right order
// whichever way the run ends: the instance (code 19) and the GL objects while
// the context is still current, the context, then code 2.
class Host
{
public:
	explicit Host(PluginModule& module) : module(module) {}
	~Host()
	{
		if (gl)
			gl->MakeCurrent();
		if (instance != nullptr)
			Quietly([&] { module.DeInstantiate(instance); });
		if (gl)
		{
			if (inputTexture != 0)
				glDeleteTextures(1, &inputTexture);
			HeadlessGL::DeleteHostFramebuffer(output);
			gl.reset();
		}
		if (initialised)
			Quietly([&] { module.DeInitialise(); });
	}
	Host(const Host&) = delete;
	Host& operator=(const Host&) = delete;

	PluginModule& module;
	std::unique_ptr<HeadlessGL> gl;
	HeadlessGL::Framebuffer output;
	GLuint inputTexture = 0;
	bool initialised = false;
	void* instance = nullptr;

private:
	// A second fault of a module that already failed is not reported.
	template <typename Call>
	static void Quietly(Call call)
	{
		try
		{
			call();
		}
		catch (...)
		{
		}
	}
};

// The guard's measure, applied to the bound read framebuffer of the given
// size: the brightest luma of a 5 x 5 grid at or below the threshold. The
// pixel starts white so that a point GL does not read never counts as black.
bool OutputIsBlack(int width, int height, float threshold)
{
	static const float kGrid[5] = { 0.1f, 0.3f, 0.5f, 0.7f, 0.9f };
	const float scaleX = width >= 2 ? static_cast<float>(width - 1) : 1.0f;
	const float scaleY = height >= 2 ? static_cast<float>(height - 1) : 1.0f;
	float brightest = 0.0f;
	for (float fy : kGrid)
		for (float fx : kGrid)
		{
			GLubyte pixel[4] = { 255, 255, 255, 255 };
			glReadPixels(static_cast<GLint>(fx * scaleX), static_cast<GLint>(fy * scaleY), 1, 1, GL_RGBA,
				GL_UNSIGNED_BYTE, pixel);
			const float luma = (0.2126f * pixel[0] + 0.7152f * pixel[1] + 0.0722f * pixel[2]) / 255.0f;
			brightest = std::max(brightest, luma);
		}
	return brightest <= threshold;
}

class FrameRun
{
public:
	FrameRun(const RunOptions& options, std::ostream& out, std::ostream& err) : options(options), out(out), err(err) {}

	int Run()
	{
		PluginModule module;
		std::string loadError;
		if (!module.Load(options.modulePath, loadError))
			throw RunError(kExitModuleError, loadError);
		Host host(module);
		return Drive(host);
	}

private:
	int Drive(Host& host)
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
			throw RunError(kExitRunError, "cannot create an output framebuffer of " + SizeText());

		const std::uint32_t initialised = module.Initialise();
		if (initialised != FF_SUCCESS)
			throw RunError(kExitModuleError, path + ": the module failed to initialise (code 34)");
		host.initialised = true;

		const std::uint32_t minInputs = module.GetPluginCaps(FF_CAP_MINIMUM_INPUT_FRAMES);
		const std::uint32_t maxInputs = module.GetPluginCaps(FF_CAP_MAXIMUM_INPUT_FRAMES);
		if (minInputs != FF_FAIL && minInputs > 1)
			throw RunError(kExitRunError,
				path + ": the module needs " + std::to_string(minInputs) +
					" inputs; run feeds one, so it runs effects and sources only");
		const bool feedsInput = info.PluginType == FF_EFFECT && maxInputs != 0;
		const bool sendsTime = module.GetPluginCaps(FF_CAP_SET_TIME) == FF_SUPPORTED;

		const std::vector<Parameter> parameters = ReadParameters(module);

		const FFGLViewportStructTag viewport{ 0, 0, static_cast<std::uint32_t>(options.width),
			static_cast<std::uint32_t>(options.height) };
		host.instance = module.Instantiate(viewport);
		if (host.instance == nullptr)
			throw RunError(
				kExitModuleError, path + ": the module refused to create an instance for " + SizeText() + " (code 18)");

		ApplySettings(module, host.instance, parameters);
		std::vector<std::string> displays;
		for (std::uint32_t i = 0; i < parameters.size(); ++i)
			displays.push_back(ModuleText(module.GetParameterDisplay(host.instance, i)).value_or(""));

		const float threshold = BlackThreshold(parameters, displays);
		std::optional<int> port = options.listenPort;
		if (!port)
			port = DisplayedPort(parameters, displays);
		std::unique_ptr<UdpReceiver> receiver;
		if (port)
		{
			receiver = std::make_unique<UdpReceiver>(static_cast<std::uint16_t>(*port));
			if (!receiver->IsOpen())
				throw RunError(kExitRunError,
					receiver->Error() + " (another program holds the port? choose one with --listen PORT)");
		}

		std::unique_ptr<FrameSource> source;
		if (options.stdinInput)
			source = std::make_unique<RawFrameReader>(stdin, options.width, options.height);
		else
			source = std::make_unique<SyntheticCamera>(options.width, options.height, options.fps);
		std::uint64_t limit = source->DefaultFrameCount();
		if (options.seconds)
			limit = static_cast<std::uint64_t>(std::max(1.0, std::round(*options.seconds * options.fps)));
		if (options.frames)
			limit = *options.frames;

		const std::string name = FieldText(info.PluginName, sizeof info.PluginName);
		out << "Running " << path << " (\"" << name << "\", " << (info.PluginType == FF_SOURCE ? "source" : "effect")
			<< ") at " << SizeText() << ", " << Number(options.fps, 3) << " fps"
			<< (options.paced ? " in real time" : " unpaced");
		if (limit != 0)
			out << ", " << limit << " frames";
		out << '\n';
		out << "Renderer      " << host.gl->Renderer() << '\n';
		out << "Input         " << source->Describe() << (feedsInput ? "" : " (a source: no input texture)") << '\n';
		if (!parameters.empty())
		{
			out << "Parameters    ";
			for (std::size_t i = 0; i < parameters.size(); ++i)
				out << (i > 0 ? ", " : "") << parameters[i].name << " " << displays[i];
			out << '\n';
		}
		out << "Black         brightest of 25 grid points of the output at or below " << Number(threshold * 100.0, 3)
			<< "% luma\n";
		if (port)
			out << "OSC           listening on 127.0.0.1:" << *port << '\n';
		else
			out << "OSC           not listening: the module has no \"OSC Port\" parameter (use --listen PORT)\n";
		out << std::flush;

		Loop(host, *source, limit, feedsInput, sendsTime, threshold, receiver.get());
		return kExitSuccess;
	}

	std::vector<Parameter> ReadParameters(const PluginModule& module) const
	{
		std::vector<Parameter> parameters;
		const std::uint32_t count = module.GetNumParameters();
		if (count == FF_FAIL || count > 4096)
			throw RunError(
				kExitModuleError, options.modulePath + ": the module gives no plausible parameter count (code 4)");
		for (std::uint32_t i = 0; i < count; ++i)
		{
			const std::optional<std::string> name = ModuleText(module.GetParameterName(i));
			if (!name)
				throw RunError(kExitModuleError,
					options.modulePath + ": parameter " + std::to_string(i) + " has no readable name (code 5)");
			parameters.push_back({ *name, module.GetParameterType(i) });
		}
		return parameters;
	}

	void ApplySettings(const PluginModule& module, void* instance, const std::vector<Parameter>& parameters) const
	{
		for (const Setting& setting : options.settings)
		{
			std::size_t index = 0;
			while (index < parameters.size() && parameters[index].name != setting.name)
				++index;
			if (index == parameters.size())
			{
				std::string known;
				for (const Parameter& parameter : parameters)
					known += (known.empty() ? "" : ", ") + ("\"" + parameter.name + "\"");
				throw RunError(kExitUsage,
					"unknown parameter \"" + setting.name + "\"; the module has " +
						(known.empty() ? std::string("none") : known));
			}
			const auto number = static_cast<std::uint32_t>(index);
			std::uint32_t result = FF_FAIL;
			if (IsTextLikeParamType(parameters[index].type))
				result = module.SetTextParameter(instance, number, setting.value.c_str());
			else
			{
				double value = 0.0;
				if (!ParseReal(setting.value, value) || value < 0.0 || value > 1.0)
					throw RunError(kExitUsage,
						"the value of \"" + setting.name + "\" is a host-side slider value from 0 to 1, not '" +
							setting.value + "'");
				result = module.SetFloatParameter(instance, number, static_cast<float>(value));
			}
			if (result == FF_FAIL)
				throw RunError(kExitModuleError,
					options.modulePath + ": the module refused \"" + setting.name + "=" + setting.value +
						"\" (code 8 answered FF_FAIL)");
		}
	}

	// The display of "Black Threshold" when it reads as a percentage.
	static float BlackThreshold(const std::vector<Parameter>& parameters, const std::vector<std::string>& displays)
	{
		for (std::size_t i = 0; i < parameters.size(); ++i)
		{
			const std::string& text = displays[i];
			double percent = 0.0;
			if (parameters[i].name == "Black Threshold" && text.size() > 1 && text.back() == '%' &&
				ParseReal(text.substr(0, text.size() - 1), percent))
				return static_cast<float>(percent / 100.0);
		}
		return kDefaultBlackThreshold;
	}

	std::optional<int> DisplayedPort(
		const std::vector<Parameter>& parameters, const std::vector<std::string>& displays) const
	{
		for (std::size_t i = 0; i < parameters.size(); ++i)
		{
			if (parameters[i].name != "OSC Port")
				continue;
			std::uint64_t port = 0;
			if (!ParseUnsigned(displays[i], 65535, port) || port == 0)
				throw RunError(kExitModuleError,
					options.modulePath + ": the \"OSC Port\" parameter displays '" + displays[i] +
						"', which is no UDP port; choose one with --listen PORT");
			return static_cast<int>(port);
		}
		return std::nullopt;
	}

	void Loop(Host& host, FrameSource& source, std::uint64_t limit, bool feedsInput, bool sendsTime, float threshold,
		UdpReceiver* receiver)
	{
		PluginModule& module = host.module;
		const int width = options.width;
		const int height = options.height;
		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);

		host.inputTexture = CreateInputTexture(width, height, nullptr);
		if (host.inputTexture == 0)
			throw RunError(kExitRunError, "cannot create an input texture of " + SizeText());
		FFGLTextureStructTag texture{ static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
			static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), host.inputTexture };
		FFGLTextureStructTag* inputs[1] = { &texture };
		ProcessOpenGLStructTag frame{};
		frame.numInputTextures = feedsInput ? 1 : 0;
		frame.inputTextures = feedsInput ? inputs : nullptr;
		frame.HostFBO = host.output.framebuffer;

		const auto period =
			std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.fps));
		start = Clock::now();
		lastOutput = start;
		Clock::time_point pace = start;
		bool inBlack = false;
		Clock::time_point blackSince{};
		std::uint64_t n = 0;
		for (; limit == 0 || n < limit; ++n)
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
			const FrameSource::Result read = source.Next(n, pixels.data(), sourceError);
			if (read == FrameSource::Result::End)
				break;
			if (read == FrameSource::Result::Error)
				throw RunError(kExitRunError, sourceError);

			if (feedsInput)
				UploadInputTexture(host.inputTexture, width, height, pixels.data());
			HeadlessGL::BindHostFramebuffer(host.output);
			const GLfloat transparentBlack[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
			glClearBufferfv(GL_COLOR, 0, transparentBlack);
			if (sendsTime)
				module.SetTime(host.instance, static_cast<double>(n) / options.fps);

			const std::uint32_t result = module.ProcessOpenGL(host.instance, frame);
			if (result == FF_SUCCESS)
			{
				// The module may have left other framebuffers bound.
				HeadlessGL::BindHostFramebuffer(host.output);
				UseDefaultPixelStore();
				ffglex::ScopedBufferBinding clientMemory(GL_PIXEL_PACK_BUFFER, 0);
				const bool black = OutputIsBlack(width, height, threshold);
				const Clock::time_point now = Clock::now();
				if (black && !inBlack)
				{
					++blackRuns;
					blackSince = now;
					Line(n, now, "black begins");
				}
				else if (!black && inBlack)
					Line(n, now, "picture again after " + Fixed(Seconds(now - blackSince), 3) + " s of black");
				inBlack = black;
			}
			else if (refused++ == 0)
				err << kProgramName << ": warning: the module refused frame " << n
					<< " (code 17 answered FF_FAIL); further refusals are only counted\n"
					<< std::flush;

			if (receiver != nullptr)
				Receive(*receiver, n);
			if (Clock::now() - lastOutput >= kQuietInterval)
			{
				err << kProgramName << ": frame " << n << (limit != 0 ? " of " + std::to_string(limit) : "") << ", "
					<< Number(Seconds(Clock::now() - start), 1) << " s, " << Plural(blackRuns, "black run") << ", "
					<< Plural(messages, "OSC message") << '\n'
					<< std::flush;
				lastOutput = Clock::now();
			}
		}
		if (receiver != nullptr && n > 0)
			Receive(*receiver, n - 1);

		out << "Summary       " << Plural(n, "frame") << " in " << Fixed(Seconds(Clock::now() - start), 3) << " s, "
			<< Plural(blackRuns, "black run") << ", " << Plural(messages, "OSC message") << " received";
		if (refused != 0)
			out << ", " << Plural(refused, "frame") << " refused by the module (code 17 answered FF_FAIL)";
		out << '\n' << std::flush;
	}

	// Everything that has arrived, attributed to the frame just drawn: the
	// module sends from inside code 17, and a datagram on the loopback
	// interface is queued before sendto returns.
	void Receive(UdpReceiver& receiver, std::uint64_t n)
	{
		for (const std::vector<std::uint8_t>& datagram : receiver.Drain())
		{
			++messages;
			OscMessage message;
			std::string error;
			if (DecodeOscMessage(datagram.data(), datagram.size(), message, error))
				Line(n, Clock::now(), "OSC " + FormatOscMessage(message));
			else
				Line(n, Clock::now(), "OSC datagram of " + Plural(datagram.size(), "byte") + " not decoded: " + error);
		}
	}

	void Line(std::uint64_t n, Clock::time_point now, const std::string& text)
	{
		char prefix[64];
		std::snprintf(
			prefix, sizeof prefix, "frame %6llu %9.3f s  ", static_cast<unsigned long long>(n), Seconds(now - start));
		out << prefix << text << '\n' << std::flush;
		lastOutput = now;
	}

	std::string SizeText() const { return std::to_string(options.width) + "x" + std::to_string(options.height); }

	static double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

	static std::string Fixed(double value, int decimals)
	{
		char text[48];
		std::snprintf(text, sizeof text, "%.*f", decimals, value);
		return text;
	}

	// At most the given decimals, without trailing zeros: 30 fps, 3.5%.
	static std::string Number(double value, int decimals)
	{
		char text[48];
		std::snprintf(text, sizeof text, "%.*f", decimals, value);
		std::string shown = text;
		if (shown.find('.') != std::string::npos)
		{
			shown.erase(shown.find_last_not_of('0') + 1);
			if (shown.back() == '.')
				shown.pop_back();
		}
		return shown;
	}

	static std::string Plural(std::uint64_t count, const std::string& noun)
	{
		return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
	}

	const RunOptions& options;
	std::ostream& out;
	std::ostream& err;
	Clock::time_point start{};
	Clock::time_point lastOutput{};
	std::uint64_t blackRuns = 0;
	std::uint64_t messages = 0;
	std::uint64_t refused = 0;
};

} // namespace

int RunRunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	try
	{
		const RunOptions options = ParseOptions(args);
		if (options.help)
		{
			out << kHelp << std::flush;
			return kExitSuccess;
		}
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
