// A quick-start source with a range, a text and an FFT parameter, for tests
// that go through plugMain. Its output shows the levels of its FFT
// parameter's analyser: red volume, green bass, blue mid, alpha high.
#include "ffglqs/Source.h"
#include "host/FFGLPluginInfo.h"

namespace
{
class ParamProbe : public ffglqs::Source
{
public:
	ParamProbe() : Source(false)
	{
		SetFragmentShader("uniform vec4 levels;\nvoid main() { fragColor = levels; }\n");
		AddParam(ffglqs::ParamRange::Create("amount", 50.0f, { 0.0f, 100.0f }));
		spectrum = ffglqs::ParamFFT::Create("spectrum");
		AddParam(spectrum);
		AddParam(ffglqs::ParamText::create("label", "hello"));
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
		shader.Set("levels", audio.GetVolume(), audio.GetBass(), audio.GetMed(), audio.GetHigh());
	}

private:
	std::shared_ptr<ffglqs::ParamFFT> spectrum;
};
} // namespace

static CFFGLPluginInfo PluginInfo(PluginFactory<ParamProbe>, "QSPP", "QS Param Probe", 2, 1, 1, 0, FF_SOURCE,
	"Test source with quick-start range, text and FFT parameters", "Quick-start tests");
