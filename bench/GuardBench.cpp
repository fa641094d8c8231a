// GuardBench: what the guard adds to a host's frame.
//
// Each iteration draws the same picture twice into an output framebuffer of
// the benchmark's size, each draw followed by glFinish, as a host that waits
// for its frame before presenting it does: once through the guard module's
// plugMain (code 17: pass-through drawing, 25 single-pixel reads, the timing
// step), once as a bare pass-through made here from the same quad and the same
// shader sources, with no sampling. The two are interleaved, in alternating
// order, so that both see the same machine state. The benchmark's time is the
// guard frame; the counters give both frames' mean times and their ratio
// (overhead).
//
// The picture is the synthetic camera's colour bars: never black, so the guard
// sends no message during the benchmark.
//
//   build/bench/GuardBench [--module=PATH] [benchmark options]
#include "ffglex/FFGLGL.h"
#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "support/HeadlessGL.h"
#include "tools/HostTexture.h"
#include "tools/PluginModule.h"
#include "tools/run/SyntheticCamera.h"

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

// The guard's own pass-through program, character for character.
const char kVertexShader[] =
	"#version 410 core\n"
	"uniform vec2 MaxUV; layout(location=0) in vec4 vPosition; layout(location=1) in vec2 vUV; out vec2 uv;\n"
	"void main(){ gl_Position=vPosition; uv=vUV*MaxUV; }";
const char kFragmentShader[] =
	"#version 410 core\n"
	"uniform sampler2D InputTexture; in vec2 uv; out vec4 fragColor;\n"
	"void main(){ fragColor=texture(InputTexture,uv); }";

constexpr int kWarmUpFrames = 3;

// Set up once in main, before any benchmark runs.
std::unique_ptr<HeadlessGL> s_gl;
ffgltool::PluginModule s_module;

double Seconds(Clock::duration duration)
{
	return std::chrono::duration<double>(duration).count();
}

// One size's objects: the host's output and input, the guard instance and the
// bare pass-through. Released while the context is current.
class Scene
{
public:
	Scene(int width, int height, std::string& error)
	{
		output = s_gl->CreateHostFramebuffer(width, height);
		if (!output.IsValid())
		{
			error = "cannot create the output framebuffer";
			return;
		}

		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
		std::string unused;
		ffgltool::SyntheticCamera(width, height, 30.0).Next(0, pixels.data(), unused);
		inputTexture = ffgltool::CreateInputTexture(width, height, pixels.data());
		texture = { static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
			static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), inputTexture };
		inputs[0] = &texture;
		frame.numInputTextures = 1;
		frame.inputTextures = inputs;
		frame.HostFBO = output.framebuffer;

		if (!shader.Compile(kVertexShader, kFragmentShader) || !quad.Initialise(false))
		{
			error = "cannot build the bare pass-through";
			return;
		}

		const FFGLViewportStructTag viewport{ 0, 0, static_cast<std::uint32_t>(width),
			static_cast<std::uint32_t>(height) };
		instance = s_module.Instantiate(viewport);
		if (instance == nullptr)
			error = "the guard module refused an instance (code 18)";
	}

	~Scene()
	{
		if (instance != nullptr)
		{
			try
			{
				s_module.DeInstantiate(instance);
			}
			catch (const ffgltool::PluginFault&)
			{
				// Already reported by the frame that failed, if any.
			}
		}
		shader.FreeGLResources();
		quad.Release();
		if (inputTexture != 0)
			glDeleteTextures(1, &inputTexture);
		HeadlessGL::DeleteHostFramebuffer(output);
	}

	Scene(const Scene&) = delete;
	Scene& operator=(const Scene&) = delete;

	// One host frame through the guard; false when the module refuses it.
	bool GuardFrame()
	{
		HeadlessGL::BindHostFramebuffer(output);
		const bool drawn = s_module.ProcessOpenGL(instance, frame) == FF_SUCCESS;
		glFinish();
		return drawn;
	}

	// The same picture through the same program, drawn the way the guard
	// draws it, without the sampling and timing after it.
	void BareFrame()
	{
		HeadlessGL::BindHostFramebuffer(output);
		{
			ffglex::ScopedShaderBinding program(shader.GetGLID());
			ffglex::ScopedSamplerActivation unit(0);
			ffglex::Scoped2DTextureBinding binding(inputTexture);
			shader.Set("InputTexture", 0);
			shader.Set("MaxUV", static_cast<float>(texture.Width) / static_cast<float>(texture.HardwareWidth),
				static_cast<float>(texture.Height) / static_cast<float>(texture.HardwareHeight));
			quad.Draw();
		}
		glFinish();
	}

private:
	HeadlessGL::Framebuffer output;
	GLuint inputTexture = 0;
	FFGLTextureStructTag texture{};
	FFGLTextureStructTag* inputs[1] = { nullptr };
	ProcessOpenGLStructTag frame{};
	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
	void* instance = nullptr;
};

void GuardFrame(benchmark::State& state)
{
	const int width = static_cast<int>(state.range(0));
	const int height = static_cast<int>(state.range(1));
	std::string error;
	Scene scene(width, height, error);
	if (!error.empty())
	{
		state.SkipWithError(error.c_str());
		return;
	}
	for (int i = 0; i < kWarmUpFrames; ++i)
	{
		scene.BareFrame();
		if (!scene.GuardFrame())
		{
			state.SkipWithError("the guard module refused the frame (code 17 answered FF_FAIL)");
			return;
		}
	}

	double guardSeconds = 0.0;
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
			scene.GuardFrame();
			const Clock::time_point middle = Clock::now();
			scene.BareFrame();
			guard = Seconds(middle - begin);
			bare = Seconds(Clock::now() - middle);
		}
		else
		{
			scene.BareFrame();
			const Clock::time_point middle = Clock::now();
			scene.GuardFrame();
			bare = Seconds(middle - begin);
			guard = Seconds(Clock::now() - middle);
		}
		guardFirst = !guardFirst;
		guardSeconds += guard;
		bareSeconds += bare;
		state.SetIterationTime(guard);
	}
	const double frames = static_cast<double>(state.iterations());
	state.counters["guard_ms"] = guardSeconds / frames * 1e3;
	state.counters["passthrough_ms"] = bareSeconds / frames * 1e3;
	state.counters["overhead"] = bareSeconds > 0.0 ? guardSeconds / bareSeconds : 0.0;
	state.SetLabel(s_gl->Renderer());
}

// Fixed frame counts keep the default run to a few seconds on a software
// renderer, where a 4K frame takes tens of milliseconds.
BENCHMARK(GuardFrame)->Args({ 640, 360 })->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GuardFrame)->Args({ 1920, 1080 })->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GuardFrame)->Args({ 3840, 2160 })->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
	std::string modulePath = GUARD_MODULE_PATH;
	std::vector<char*> args;
	for (int i = 0; i < argc; ++i)
	{
		if (std::strncmp(argv[i], "--module=", 9) == 0)
			modulePath = argv[i] + 9;
		else
			args.push_back(argv[i]);
	}
	int count = static_cast<int>(args.size());
	benchmark::Initialize(&count, args.data());
	if (benchmark::ReportUnrecognizedArguments(count, args.data()))
		return 2;

	std::string error;
	s_gl = HeadlessGL::Create(&error);
	if (!s_gl)
	{
		std::fprintf(stderr, "GuardBench: no headless OpenGL 4.1 context: %s\n", error.c_str());
		return 1;
	}
	if (!s_module.Load(modulePath, error))
	{
		std::fprintf(stderr, "GuardBench: %s\n", error.c_str());
		return 1;
	}
	s_module.Initialise();
	benchmark::AddCustomContext("renderer", s_gl->Renderer());
	benchmark::AddCustomContext("module", modulePath);

	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();

	s_module.DeInitialise();
	s_gl.reset();
	s_module.Unload();
	return 0;
}
