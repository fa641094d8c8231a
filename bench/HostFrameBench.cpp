// HostFrameBench: what each watching plug-in adds to a host's frame, drawn the
// way a host draws one.
//
// A host draws all its layers, then presents once. Here a frame is four layers,
// each drawn through its own instance into the framebuffer the host keeps for
// that layer (bound, with its viewport, before each call, as a host does), then
// one glFinish standing for the present; nothing waits between layers. (With
// all four layers in one framebuffer a software renderer may skip a draw that
// a later opaque full-screen draw covers, and the bare frame would do a
// fraction of the work the modules' frames do.) A module that waits for the
// GPU inside plugMain (a synchronous read-back) makes the host thread wait
// there, and stops the next layer's calls from overlapping this layer's
// drawing; a module that reads back asynchronously should not. Either way the
// module is driven through plugMain only, so whatever it does inside is
// measured as a host sees it. (GuardBench keeps the other model: a glFinish
// after every draw.) --one-framebuffer draws all four layers into one
// framebuffer instead, for comparison.
//
// Four arms draw the same frames at each size: bare A and bare B, four bare
// pass-throughs made here from the modules' quad and shader sources with no
// sampling; the black guard; the Watch. They take turns within every repeat,
// the order rotating from one repeat to the next, so that all see the same
// machine state and none always inherits another's pending work. Each turn is
// a run of consecutive frames, as a host draws them, after one frame that is
// not measured: a module that keeps frames in flight and judges them later
// starts its measured frames as a host's steady frames leave it, not after a
// pause of the other arms' length. Bare B against bare A shows the noise of
// the machine.
//
// The picture changes every frame, as a live camera's does: the synthetic
// camera's colour bars, shifted sideways by whole bars (kPictures pictures in
// turn, each layer one picture ahead of the layer before). Every sampled bar
// column changes between one frame of a layer and its next, far beyond any
// still tolerance, so the Watch's still rule never holds; the bars are never
// black, so neither module sends anything. The pictures are uploaded once: the
// host's upload of a camera frame is the same for every arm and not measured.
//
// One benchmark iteration is one repeat: a few frames of every arm. The
// counters and the table printed at the end are medians over the repeats:
// the frame (first layer's call to the end of glFinish), the host thread's
// time inside one layer's call (plugMain, or the bare pass-through's draw),
// and the spread ((max - min) / median over the repeats).
//
//   build/bench/HostFrameBench [--repeats=N] [--one-framebuffer] [--module=PATH] [--watch-module=PATH]
//                              [benchmark options]
//
// --repeats is at least 5 (default 7). The table goes to stdout after the
// benchmark's own output; for machine-read results use --benchmark_out=FILE.
#include "bench/BenchModules.h"
#include "ffglex/FFGLGL.h"
#include "support/HeadlessGL.h"
#include "tools/HostTexture.h"
#include "tools/PluginModule.h"
#include "tools/run/SyntheticCamera.h"
#include "watching/PassThrough.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr int kLayers = 4;
// Pictures shown in turn; each is the bars shifted by one more bar.
constexpr int kPictures = 3;
constexpr int kBars = 7; // the synthetic camera's bars across the picture
constexpr int kDefaultRepeats = 7;
constexpr int kMinRepeats = 5;

enum ArmIndex
{
	kBareA,
	kGuard,
	kWatch,
	kBareB,
	kArms
};
const char* const kArmNames[kArms] = { "bare A", "guard", "watch", "bare B" };
const char* const kCounterNames[kArms] = { "bareA", "guard", "watch", "bareB" };

struct Size
{
	int width;
	int height;
	int framesPerRepeat; // per arm; keeps a run to a couple of minutes on a software renderer
};
const Size kSizes[] = { { 640, 360, 16 }, { 1920, 1080, 5 }, { 3840, 2160, 3 } };

// Set up once in main, before any benchmark runs.
bench::BenchModules s_bench;
int s_repeats = kDefaultRepeats;
// --one-framebuffer: every layer drawn into the same framebuffer.
bool s_oneFramebuffer = false;

double Milliseconds(Clock::duration duration)
{
	return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values)
{
	std::sort(values.begin(), values.end());
	const std::size_t n = values.size();
	if (n == 0)
		return 0.0;
	return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// (max - min) / median: how far the repeats of one arm lie apart.
double Spread(const std::vector<double>& values)
{
	const double median = Median(values);
	if (values.empty() || median <= 0.0)
		return 0.0;
	const auto [low, high] = std::minmax_element(values.begin(), values.end());
	return (*high - *low) / median;
}

// One arm at one size: kLayers instances of a module, or, with no module,
// kLayers bare pass-throughs. Released while the context is current.
class Arm
{
public:
	Arm(ffgltool::PluginModule* module, const FFGLViewportStructTag& viewport, std::string& error) : module(module)
	{
		for (int layer = 0; layer < kLayers && error.empty(); ++layer)
		{
			if (module == nullptr)
			{
				if (!bare[layer].Build(kPassThroughVertexShader, kPassThroughFragmentShader))
					error = "cannot build the bare pass-through";
			}
			else if ((instances[layer] = module->Instantiate(viewport)) == nullptr)
				error = "the module refused an instance (code 18)";
		}
	}

	~Arm()
	{
		for (int layer = 0; layer < kLayers; ++layer)
		{
			bare[layer].Release();
			if (instances[layer] == nullptr)
				continue;
			try
			{
				module->DeInstantiate(instances[layer]);
			}
			catch (const ffgltool::PluginFault&)
			{
				// Already reported by the frame that failed, if any.
			}
		}
	}

	Arm(const Arm&) = delete;
	Arm& operator=(const Arm&) = delete;

	// One layer's call on the host thread; false when the module refuses the
	// frame. Throws PluginFault when an exception leaves plugMain.
	bool DrawLayer(int layer, ProcessOpenGLStructTag& record)
	{
		if (module == nullptr)
		{
			bare[layer].Draw(*record.inputTextures[0]);
			return true;
		}
		return module->ProcessOpenGL(instances[layer], record) == FF_SUCCESS;
	}

	std::uint64_t nextFrame = 0; // this arm's own count, so each instance sees every picture change
	double frameMs = 0.0;        // sums over the current repeat
	double callMs = 0.0;
	std::vector<double> repeatFrameMs; // one mean per repeat
	std::vector<double> repeatCallMs;

private:
	ffgltool::PluginModule* module;
	std::array<void*, kLayers> instances{};
	std::array<PassThrough, kLayers> bare;
};

// One size's objects: the host's framebuffer, the pictures, the four arms.
class Scene
{
public:
	Scene(int width, int height, std::string& error)
	{
		for (HeadlessGL::Framebuffer& output : outputs)
		{
			output = s_bench.gl->CreateHostFramebuffer(width, height);
			if (!output.IsValid())
			{
				error = "cannot create a layer's framebuffer";
				return;
			}
		}

		const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
		std::vector<std::uint8_t> camera(rowBytes * static_cast<std::size_t>(height));
		std::vector<std::uint8_t> shifted(camera.size());
		std::string unused;
		ffgltool::SyntheticCamera(width, height, 30.0).Next(0, camera.data(), unused);
		for (int picture = 0; picture < kPictures; ++picture)
		{
			// Rotating every row by whole bars moves each sample column into
			// another bar of another luma.
			const std::size_t shift = static_cast<std::size_t>(picture * width / kBars) * 4;
			for (std::size_t row = 0; row < camera.size(); row += rowBytes)
				std::rotate_copy(camera.begin() + static_cast<std::ptrdiff_t>(row),
					camera.begin() + static_cast<std::ptrdiff_t>(row + shift),
					camera.begin() + static_cast<std::ptrdiff_t>(row + rowBytes),
					shifted.begin() + static_cast<std::ptrdiff_t>(row));
			textures[picture] = ffgltool::CreateInputTexture(width, height, shifted.data());
			if (textures[picture] == 0)
			{
				error = "cannot create an input texture";
				return;
			}
			inputs[picture] = { static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
				static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), textures[picture] };
		}
		record.numInputTextures = 1;
		record.inputTextures = inputList;

		const FFGLViewportStructTag viewport{ 0, 0, static_cast<std::uint32_t>(width),
			static_cast<std::uint32_t>(height) };
		for (int arm = 0; arm < kArms && error.empty(); ++arm)
		{
			ffgltool::PluginModule* module = arm == kGuard ? &s_bench.modules[0] : arm == kWatch ? &s_bench.modules[1] : nullptr;
			arms[arm] = std::make_unique<Arm>(module, viewport, error);
		}
	}

	~Scene()
	{
		for (std::unique_ptr<Arm>& arm : arms)
			arm.reset();
		for (GLuint& texture : textures)
			if (texture != 0)
				glDeleteTextures(1, &texture);
		for (HeadlessGL::Framebuffer& output : outputs)
			HeadlessGL::DeleteHostFramebuffer(output);
	}

	Scene(const Scene&) = delete;
	Scene& operator=(const Scene&) = delete;

	Arm& GetArm(int arm) { return *arms[arm]; }

	// One host frame of an arm: every layer, then the present. Adds its times
	// to the arm's sums; false when a module refuses a layer.
	bool Frame(Arm& arm, bool counted)
	{
		const std::uint64_t index = arm.nextFrame++;
		double callMs = 0.0;
		bool drawn = true;
		const Clock::time_point begin = Clock::now();
		for (int layer = 0; layer < kLayers; ++layer)
		{
			inputList[0] = &inputs[(index + static_cast<std::uint64_t>(layer)) % kPictures];
			const HeadlessGL::Framebuffer& output = outputs[s_oneFramebuffer ? 0 : layer];
			record.HostFBO = output.framebuffer;
			HeadlessGL::BindHostFramebuffer(output);
			const Clock::time_point callBegin = Clock::now();
			drawn = arm.DrawLayer(layer, record) && drawn;
			callMs += Milliseconds(Clock::now() - callBegin);
		}
		glFinish();
		if (counted)
		{
			arm.frameMs += Milliseconds(Clock::now() - begin);
			arm.callMs += callMs / kLayers;
		}
		return drawn;
	}

	// frames of every arm, taking turns frame by frame, the first arm moving
	// on by one each round; false when a module refuses a frame.
	bool Round(int frames, int& firstArm)
	{
		for (int turn = 0; turn < kArms; ++turn)
		{
			Arm& arm = *arms[(firstArm + turn) % kArms];
			if (!Frame(arm, false))
				return false;
			for (int frame = 0; frame < frames; ++frame)
				if (!Frame(arm, true))
					return false;
		}
		firstArm = (firstArm + 1) % kArms;
		return true;
	}

private:
	std::array<HeadlessGL::Framebuffer, kLayers> outputs; // one per layer, as a host renders each layer apart
	std::array<GLuint, kPictures> textures{};
	std::array<FFGLTextureStructTag, kPictures> inputs{};
	FFGLTextureStructTag* inputList[1] = { nullptr };
	ProcessOpenGLStructTag record{};
	std::array<std::unique_ptr<Arm>, kArms> arms;
};

// What the table shows for one size.
struct SizeResult
{
	Size size;
	double frameMs[kArms];
	double frameSpread[kArms];
	double callMs[kArms];
	// Each repeat's frame over the mean of its two bare frames, taken within
	// the repeat so that a load that drifts between repeats cancels out.
	double vsBare[kArms];    // the median over the repeats
	double vsBareLow[kArms]; // their range
	double vsBareHigh[kArms];
	double bareRatio; // median over repeats of bare B / bare A
	double bareRatioLow;
	double bareRatioHigh;
	std::string error;
};
std::vector<SizeResult> s_results;

void HostFrame(benchmark::State& state, Size size)
{
	SizeResult result{ size, {}, {}, {}, {}, {}, {}, 0.0, 0.0, 0.0, {} };
	const auto fail = [&](const char* error)
	{
		result.error = error;
		s_results.push_back(result);
		state.SkipWithError(error);
	};
	std::string error;
	Scene scene(size.width, size.height, error);
	if (!error.empty())
		return fail(error.c_str());

	int firstArm = 0;
	try
	{
		// Warm up: shaders compiled on first use, caches, and any frames a
		// module keeps in flight before it judges them.
		if (!scene.Round(std::max(4, size.framesPerRepeat), firstArm))
			return fail("a module refused a frame (code 17 answered FF_FAIL)");
		for (auto _ : state)
		{
			for (int arm = 0; arm < kArms; ++arm)
				scene.GetArm(arm).frameMs = scene.GetArm(arm).callMs = 0.0;
			if (!scene.Round(size.framesPerRepeat, firstArm))
				return fail("a module refused a frame (code 17 answered FF_FAIL)");
			for (int arm = 0; arm < kArms; ++arm)
			{
				Arm& a = scene.GetArm(arm);
				a.repeatFrameMs.push_back(a.frameMs / size.framesPerRepeat);
				a.repeatCallMs.push_back(a.callMs / size.framesPerRepeat);
			}
		}
	}
	catch (const ffgltool::PluginFault& fault)
	{
		return fail(fault.what());
	}

	std::vector<double> ratios;
	const Arm& bareA = scene.GetArm(kBareA);
	const Arm& bareB = scene.GetArm(kBareB);
	for (std::size_t i = 0; i < bareA.repeatFrameMs.size(); ++i)
		ratios.push_back(bareB.repeatFrameMs[i] / bareA.repeatFrameMs[i]);
	result.bareRatio = Median(ratios);
	result.bareRatioLow = *std::min_element(ratios.begin(), ratios.end());
	result.bareRatioHigh = *std::max_element(ratios.begin(), ratios.end());
	for (int arm = 0; arm < kArms; ++arm)
	{
		const Arm& a = scene.GetArm(arm);
		std::vector<double> vsBare;
		for (std::size_t i = 0; i < a.repeatFrameMs.size(); ++i)
			vsBare.push_back(a.repeatFrameMs[i] * 2.0 / (bareA.repeatFrameMs[i] + bareB.repeatFrameMs[i]));
		result.vsBare[arm] = Median(vsBare);
		result.vsBareLow[arm] = *std::min_element(vsBare.begin(), vsBare.end());
		result.vsBareHigh[arm] = *std::max_element(vsBare.begin(), vsBare.end());
		result.frameMs[arm] = Median(a.repeatFrameMs);
		result.frameSpread[arm] = Spread(a.repeatFrameMs);
		result.callMs[arm] = Median(a.repeatCallMs);
		state.counters[std::string(kCounterNames[arm]) + "_ms"] = result.frameMs[arm];
		state.counters[std::string(kCounterNames[arm]) + "_call_ms"] = result.callMs[arm];
	}
	state.counters["guard_vs_bare"] = result.vsBare[kGuard];
	state.counters["watch_vs_bare"] = result.vsBare[kWatch];
	state.counters["bareB_vs_bareA"] = result.bareRatio;
	state.SetLabel(s_bench.gl->Renderer());
	s_results.push_back(result);
}

// The results as a Markdown table, ready to paste.
void PrintTable()
{
	std::printf(
		"\nHost frame: %d layers, %s, one glFinish per frame; medians of %d repeats; %s\n", kLayers,
		s_oneFramebuffer ? "all in one framebuffer" : "each in its own framebuffer", s_repeats,
		s_bench.gl->Renderer().c_str());
	std::printf(
		"Picture: the synthetic camera's colour bars, changing every frame (%d pictures shifted by whole bars)."
		"\n\n",
		kPictures);
	std::printf("| size      | arm    | frame ms | spread | plugMain ms/layer | frame vs bare (range) |\n");
	std::printf("|-----------|--------|---------:|-------:|------------------:|----------------------:|\n");
	for (const SizeResult& result : s_results)
	{
		char size[16];
		std::snprintf(size, sizeof size, "%dx%d", result.size.width, result.size.height);
		if (!result.error.empty())
		{
			std::printf("| %-9s | %s |\n", size, result.error.c_str());
			continue;
		}
		for (int arm : { kBareA, kBareB, kGuard, kWatch })
			std::printf("| %-9s | %-6s | %8.2f | %5.0f%% | %17.3f | %6.2f (%4.2f to %4.2f) |\n", size, kArmNames[arm],
				result.frameMs[arm], result.frameSpread[arm] * 100.0, result.callMs[arm], result.vsBare[arm],
				result.vsBareLow[arm], result.vsBareHigh[arm]);
	}
	std::printf("\nbare B / bare A, median (range) over the repeats:");
	for (const SizeResult& result : s_results)
		if (result.error.empty())
			std::printf("  %dx%d %.3f (%.3f-%.3f)", result.size.width, result.size.height, result.bareRatio,
				result.bareRatioLow, result.bareRatioHigh);
	std::printf(
		"\nspread: (max - min) / median of an arm's frame over the repeats. frame vs bare: each repeat's"
		" frame over the mean of its two bare frames. plugMain ms/layer of the bare arms: the"
		" pass-through's draw call alone.\n");
	std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
	const auto ownOption = [](const char* arg)
	{
		if (std::strcmp(arg, "--one-framebuffer") == 0)
			s_oneFramebuffer = true;
		else if (std::strncmp(arg, "--repeats=", 10) == 0)
			s_repeats = std::max(kMinRepeats, std::atoi(arg + 10));
		else
			return false;
		return true;
	};
	const int status = bench::SetUp("HostFrameBench", argc, argv, ownOption, s_bench);
	if (status >= 0)
		return status;
	for (const Size& size : kSizes)
		benchmark::RegisterBenchmark(
			("HostFrame/" + std::to_string(size.width) + "x" + std::to_string(size.height)).c_str(), HostFrame, size)
			->Iterations(s_repeats)
			->Unit(benchmark::kMillisecond);
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	PrintTable();

	bench::TearDown(s_bench);
	return 0;
}
