// A quick-start source that carries one parameter of every kind, for tests that
// go through plugMain. Its output shows the levels of its FFT parameter's
// analyser: red volume, green bass, blue mid, alpha high.
#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamTrigger.h"
#include "ffglqs/Source.h"
#include "host/FFGLPluginInfo.h"

namespace
{
const char kFragmentShader[] = R"(
uniform float volume;
uniform float bass;
uniform float med;
uniform float high;

void main()
{
	fragColor = vec4( volume, bass, med, high );
}
)";

class ParamProbe : public ffglqs::Source
{
public:
	ParamProbe() : Source(false)
	{
		SetFragmentShader(kFragmentShader);
		AddParam(ffglqs::ParamRange::Create("amount", 50.0f, { 0.0f, 100.0f }));
		AddParam(ffglqs::ParamRange::CreateInteger("steps", 3, { 0.0f, 10.0f }));
		AddParam(ffglqs::ParamOption::Create("mode", { { "Soft", 0.5f }, { "Hard", 2.0f }, { "Wild", 7.0f } }, 1));
		AddParam(ffglqs::ParamText::create("label", "hello"));
		spectrum = ffglqs::ParamFFT::Create("spectrum");
		AddParam(spectrum);
		AddHueColorParam("tint");
		AddParam(ffglqs::ParamBool::Create("enabled", true));
		AddParam(ffglqs::ParamTrigger::Create("pulse"));
	}

	unsigned int Init() override
	{
		// Gain 1 and no smoothing: the levels are those of the latest spectrum.
		GetAudio(spectrum)->SetGain(0.0f);
		GetAudio(spectrum)->SetSmoothness(0.0f);
		return FF_SUCCESS;
	}

	void Update() override
	{
		const ffglqs::Audio& audio = *GetAudio(spectrum);
		shader.Set("volume", audio.GetVolume());
		shader.Set("bass", audio.GetBass());
		shader.Set("med", audio.GetMed());
		shader.Set("high", audio.GetHigh());
	}

private:
	std::shared_ptr<ffglqs::ParamFFT> spectrum;
};
} // namespace

static CFFGLPluginInfo PluginInfo(PluginFactory<ParamProbe>, "QSPP", "QS Param Probe", 2, 1, 1, 0, FF_SOURCE,
	"Test source with one quick-start parameter of every kind", "Quick-start tests");
