// A test plug-in that reports each call it receives to the host's log
// callback, so a test can see the order in which plugMain drives an instance.
//
// Built twice: as LifecycleProbe, and with PROBE_KEEPS_DEFAULT_SETTER as a
// plug-in that registers a float parameter but keeps the failing default
// SetFloatParameter.
//
// InitGL fails for a viewport 0 pixels wide and throws for one 1 pixel wide;
// SetTime throws for a negative time. Setting the level above 0.9 raises
// parameter events on parameters 0, 1 and 2.
#include "core/FFGLPlugin.h"
#include "host/FFGLLog.h"
#include "host/FFGLPluginInfo.h"

#include <cstdio>
#include <new>
#include <string>

namespace
{
void Report(const std::string& event)
{
	FFGLLog::LogToHost(event.c_str());
}

unsigned int ProbeInitialise()
{
	Report("initialise method");
	return FF_SUCCESS;
}
void ProbeDeinitialise()
{
	Report("deinitialise method");
}

class Probe : public CFFGLPlugin
{
public:
	Probe() : CFFGLPlugin(true)
	{
		Report("construct");
		SetMinInputs(0);
		SetMaxInputs(2);
		SetParamInfo(0, "Level", FF_TYPE_STANDARD, 0.25f);
		SetParamGroup(0, "Levels");
		SetParamDisplayName(0, "Volume", false);
		SetParamInfo(1, "Label", FF_TYPE_TEXT, "abc");
		SetOptionParamInfo(2, "Mode", 3, 1.0f);
		SetParamElements(2, { "one", "two", "three" }, { 0.0f, 1.0f, 2.0f }, false);
		AddElementSeparator(2, 1);
		SetFileParamInfo(3, "Image", { "png", "jpg" }, "a.png");
	}
	~Probe() override { Report("destruct"); }

	unsigned int InitGL(const FFGLViewportStructTag* viewport) override
	{
		Report("InitGL " + std::to_string(viewport->width) + "x" + std::to_string(viewport->height));
		if (viewport->width == 1)
			throw std::bad_alloc();
		if (viewport->width == 0)
			return FF_FAIL;
		return CFFGLPlugin::InitGL(viewport);
	}
	unsigned int DeInitGL() override { return Reported("DeInitGL"); }
#ifndef PROBE_KEEPS_DEFAULT_SETTER
	unsigned int SetFloatParameter(unsigned int index, float value) override
	{
		char text[64];
		std::snprintf(text, sizeof(text), "SetFloatParameter %u %g", index, static_cast<double>(value));
		Report(text);
		if (index == 0)
		{
			level = value;
			// A loud level re-labels the parameters, so there are events to take.
			if (value > 0.9f)
			{
				SetParamDisplayName(0, "Loud", true);
				SetParamVisibility(1, false, true);
				SetParamElements(2, { "uno", "dos" }, { 0.0f, 1.0f }, true);
			}
		}
		return index == 0 || index == 2 ? FF_SUCCESS : FF_FAIL;
	}
#endif
	float GetFloatParameter(unsigned int index) override
	{
		return index == 0 ? level : 0.0f;
	}
	unsigned int SetTextParameter(unsigned int index, const char* value) override
	{
		Report("SetTextParameter " + std::to_string(index) + " " + value);
		if (index == 1)
			label = value;
		return index == 1 || index == 3 ? FF_SUCCESS : FF_FAIL;
	}
	char* GetTextParameter(unsigned int index) override
	{
		return index == 1 ? &label[0] : CFFGLPlugin::GetTextParameter(index);
	}
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag*) override
	{
		return Reported("ProcessOpenGL");
	}
	unsigned int SetTime(double time) override
	{
		if (time < 0.0)
			throw std::bad_alloc();
		return CFFGLPlugin::SetTime(time);
	}
	void SetHostInfo(const char* name, const char* version) override
	{
		CFFGLPlugin::SetHostInfo(name, version);
		Report("SetHostInfo [" + hostName + "] [" + hostVersion + "]");
	}
	char* GetShortName() override
	{
		return shortName;
	}
	unsigned int Connect() override
	{
		return Reported("Connect");
	}
	unsigned int Disconnect() override
	{
		return Reported("Disconnect");
	}

private:
	static unsigned int Reported(const char* event)
	{
		Report(event);
		return FF_SUCCESS;
	}

	float level = 0.0f;
	std::string label;
	char shortName[4] = "PRB";
};

CFFGLPluginInfo PluginInfo(PluginFactory<Probe>, "PRBE", "Lifecycle Probe", 2, 1, 1, 0, FF_EFFECT,
	"Reports its calls to the host log", "test plug-in", 0, nullptr, ProbeInitialise, ProbeDeinitialise);
} // namespace
