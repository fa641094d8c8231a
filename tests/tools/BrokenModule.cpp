// A small effect module, built once per kind of fault (FAULT_<kind> defined)
// to show that `ffgl-host validate` catches it. FAULT_Good has none: it passes.
//
// The effect has two standard sliders and, on a frame with its input, clears
// the host framebuffer to grey; without an input it refuses the frame.
#include "core/FFGLPlugin.h"
#include "ffglex/FFGLGL.h"
#include "host/FFGLPluginInfo.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace
{
constexpr unsigned int kParams = 2;

#ifdef FAULT_UnterminatedDisplay
// No zero byte for far longer than any display field.
char s_endlessText[4096];
#endif

class BrokenEffect : public CFFGLPlugin
{
public:
	BrokenEffect() : CFFGLPlugin(false)
	{
		SetMinInputs(1);
		SetMaxInputs(1);
#ifdef FAULT_NaNDefault
		SetParamInfo(0, "Gain", FF_TYPE_STANDARD, std::numeric_limits<float>::quiet_NaN());
#else
		SetParamInfo(0, "Gain", FF_TYPE_STANDARD, 0.5f);
#endif
		SetParamInfo(1, "Mix", FF_TYPE_STANDARD, 1.0f);
	}

	unsigned int InitGL(const FFGLViewportStructTag* viewport) override
	{
#ifdef FAULT_LeaksBuffer
		glGenBuffers(1, &buffer);
		glBindBuffer(GL_ARRAY_BUFFER, buffer);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
#elif defined(FAULT_LeaksDescriptor)
		descriptor = socket(AF_INET, SOCK_DGRAM, 0);
#endif
		return CFFGLPlugin::InitGL(viewport);
	}

	unsigned int SetFloatParameter(unsigned int index, float value) override
	{
		if (index >= kParams)
			return FF_FAIL;
		values[index] = value;
		return FF_SUCCESS;
	}

	float GetFloatParameter(unsigned int index) override
	{
		return index < kParams ? values[index] : 0.0f;
	}

#ifdef FAULT_UnterminatedDisplay
	char* GetParameterDisplay(unsigned int) override
	{
		std::memset(s_endlessText, 'x', sizeof s_endlessText);
		return s_endlessText;
	}
#endif

	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* process) override
	{
		const bool hasInput = process != nullptr && process->numInputTextures >= 1 &&
			process->inputTextures != nullptr && process->inputTextures[0] != nullptr;
#ifdef FAULT_DrawsWithoutInput
		glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
		(void)hasInput;
		return FF_SUCCESS;
#else
		if (!hasInput)
			return FF_FAIL;
		glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
#ifdef FAULT_LeavesTextureUnit
		glActiveTexture(GL_TEXTURE3);
#endif
		return FF_SUCCESS;
#endif
	}

private:
	float values[kParams] = { 0.5f, 1.0f };
#ifdef FAULT_LeaksBuffer
	GLuint buffer = 0;
#elif defined(FAULT_LeaksDescriptor)
	int descriptor = -1;
#endif
};

#ifdef FAULT_BadIdentity
constexpr const char* kId = "B\x01K\x7F";
#else
constexpr const char* kId = "BRKN";
#endif

CFFGLPluginInfo PluginInfo(PluginFactory<BrokenEffect>, kId, "Broken Effect", 2, 1, 1, 0, FF_EFFECT,
	"An effect with one deliberate fault", "Validation test module", 0, nullptr, nullptr, nullptr);

#ifdef FAULT_HugeExtendedData
// The extended info record claims almost 4 GiB of data behind a 4-byte block:
// a host must not take the size on trust.
unsigned char s_smallBlock[4];
[[maybe_unused]] const bool s_hugeBlock = []
{
	PluginExtendedInfoStructTag* extended = PluginInfo.GetPluginExtendedInfo();
	extended->FreeFrameExtendedDataSize = 0xFFFFFFF0u;
	extended->FreeFrameExtendedDataBlock = s_smallBlock;
	return true;
}();
#endif
} // namespace
