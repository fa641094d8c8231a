// GuardBench: what each watching plug-in adds to a host's frame.
//
// Each iteration draws the same picture twice into an output framebuffer of
// the benchmark's size, each draw followed by glFinish, as a host that waits
// for its frame before presenting it does: once through a module's plugMain
// (code 17: the pass-through drawing and whatever the module measures),
// once as a bare pass-through made here from the same quad and the same shader
// sources, with no sampling. The two are interleaved, in alternating order, so
// that both see the same machine state. The benchmark's time is the module's
// frame; the counters give both frames' mean times and their ratio (overhead).
// GuardFrame runs the black guard (25 reads), WatchFrame the Watch (its cells).
//
// The picture is the synthetic camera's colour bars, turned upside down from
// one pair of frames to the next: never black and never still, so neither
// module sends anything.
//
//   build/bench/GuardBench [--module=PATH] [--watch-module=PATH] [benchmark options]
#include "bench/BenchModules.h"
#include "ffglex/FFGLGL.h"
#include "support/HeadlessGL.h"
#include "tools/HostTexture.h"
#include "tools/PluginModule.h"
#include "tools/run/SyntheticCamera.h"
#include "watching/PassThrough.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr int kWarmUpFrames = 3;

// Set up once in main, before any benchmark runs.
bench::BenchModules s_bench;

double Seconds(Clock::duration duration)
{
	return std::chrono::duration<double>(duration).count();
}

// One size's objects: the host's output and input, the guard instance and the
// bare pass-through. Released while the context is current.
class Scene
{
public:
	Scene(ffgltool::PluginModule& module, int width, int height, std::string& error) : module(module)
	{
		output = s_bench.gl->CreateHostFramebuffer(width, height);
		if (!output.IsValid())
		{
			error = "cannot create the output framebuffer";
			return;
		}

		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
		std::string unused;
		ffgltool::SyntheticCamera(width, height, 30.0).Next(0, pixels.data(), unused);
		inputTextures[0] = ffgltool::CreateInputTexture(width, height, pixels.data());
		// The second picture: the bars turned upside down, so that every
		// frame differs from the one before and the Watch never sees a still
		// picture (it would send a real message).
		const std::size_t row = static_cast<std::size_t>(width) * 4;
		for (int y = 0; y < height / 2; ++y)
			std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(y * row),
				pixels.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
				pixels.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * row));
		inputTextures[1] = ffgltool::CreateInputTexture(width, height, pixels.data());
		texture = { static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
			static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), inputTextures[0] };
		inputs[0] = &texture;
		frame.numInputTextures = 1;
		frame.inputTextures = inputs;
		frame.HostFBO = output.framebuffer;

		if (!passThrough.Build(kPassThroughVertexShader, kPassThroughFragmentShader))
		{
			error = "cannot build the bare pass-through";
			return;
		}

		const FFGLViewportStructTag viewport{ 0, 0, static_cast<std::uint32_t>(width),
			static_cast<std::uint32_t>(height) };
		instance = module.Instantiate(viewport);
		if (instance == nullptr)
			error = "the module refused an instance (code 18)";
	}

	~Scene()
	{
		if (instance != nullptr)
		{
			try
			{
				module.DeInstantiate(instance);
			}
			catch (const ffgltool::PluginFault&)
			{
				// Already reported by the frame that failed, if any.
			}
		}
		passThrough.Release();
		glDeleteTextures(2, inputTextures);
		HeadlessGL::DeleteHostFramebuffer(output);
	}

	Scene(const Scene&) = delete;
	Scene& operator=(const Scene&) = delete;

	// The other picture for the next pair of frames.
	void NextPicture()
	{
		texture.Handle = texture.Handle == inputTextures[0] ? inputTextures[1] : inputTextures[0];
	}

	// One host frame through the module; false when it refuses it.
	bool ModuleFrame()
	{
		HeadlessGL::BindHostFramebuffer(output);
		const bool drawn = module.ProcessOpenGL(instance, frame) == FF_SUCCESS;
		glFinish();
		return drawn;
	}

	// The same picture through the same program, drawn the way the modules
	// draw it, without the sampling and timing after it.
	void BareFrame()
	{
		HeadlessGL::BindHostFramebuffer(output);
		passThrough.Draw(texture);
		glFinish();
	}

private:
	ffgltool::PluginModule& module;
	HeadlessGL::Framebuffer output;
	GLuint inputTextures[2] = { 0, 0 };
	FFGLTextureStructTag texture{};
	FFGLTextureStructTag* inputs[1] = { nullptr };
	ProcessOpenGLStructTag frame{};
	PassThrough passThrough;
	void* instance = nullptr;
};

void ModuleFrame(benchmark::State& state, int module)
{
	const int width = static_cast<int>(state.range(0));
	const int height = static_cast<int>(state.range(1));
	std::string error;
	Scene scene(s_bench.modules[module], width, height, error);
	if (!error.empty())
	{
		state.SkipWithError(error.c_str());
		return;
	}
	for (int i = 0; i < kWarmUpFrames; ++i)
	{
		scene.BareFrame();
		if (!scene.ModuleFrame())
		{
			state.SkipWithError("the module refused the frame (code 17 answered FF_FAIL)");
			return;
		}
	}

	double moduleSeconds = 0.0;
	double bareSeconds = 0.0;
	bool guardFirst = true;
	for (auto _ : state)
	{
		// Which frame goes first alternates, so that neither always inherits
		// the other's warm caches or pending work.
		double guard = 0.0;
		double bare = 0.0;
		const Clock::time_point begin = Clock::now();
		if (guardFirst)
		{
			scene.ModuleFrame();
			const Clock::time_point middle = Clock::now();
			scene.BareFrame();
			guard = Seconds(middle - begin);
			bare = Seconds(Clock::now() - middle);
		}
		else
		{
			scene.BareFrame();
			const Clock::time_point middle = Clock::now();
			scene.ModuleFrame();
			bare = Seconds(middle - begin);
			guard = Seconds(Clock::now() - middle);
		}
		guardFirst = !guardFirst;
		scene.NextPicture();
		moduleSeconds += guard;
		bareSeconds += bare;
		state.SetIterationTime(guard);
	}
	const double frames = static_cast<double>(state.iterations());
	state.counters["module_ms"] = moduleSeconds / frames * 1e3;
	state.counters["passthrough_ms"] = bareSeconds / frames * 1e3;
	state.counters["overhead"] = bareSeconds > 0.0 ? moduleSeconds / bareSeconds : 0.0;
	state.SetLabel(s_bench.gl->Renderer());
}

void GuardFrame(benchmark::State& state)
{
	ModuleFrame(state, 0);
}

void WatchFrame(benchmark::State& state)
{
	ModuleFrame(state, 1);
}

// Fixed frame counts keep the default run to a few seconds on a software
// renderer, where a 4K frame takes tens of milliseconds.
#define TENEBRIXOR_SIZES(bench) \
	BENCHMARK(bench)->Args({ 640, 360 })->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond); \
	BENCHMARK(bench)->Args({ 1920, 1080 })->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond); \
	BENCHMARK(bench)->Args({ 3840, 2160 })->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond)
TENEBRIXOR_SIZES(GuardFrame);
TENEBRIXOR_SIZES(WatchFrame);

} // namespace

int main(int argc, char** argv)
{
	const int status = bench::SetUp("GuardBench", argc, argv, [](const char*) { return false; }, s_bench);
	if (status >= 0)
		return status;

	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();

	bench::TearDown(s_bench);
	return 0;
}
