// The stand-in plug-in module of the ffgl-host tests: plugMain answered by
// hand, a source with a float and a text parameter. Its kind is the end of the
// file name it was loaded by (StandInNullInfo.so is kind NullInfo, links to one
// build): Good and RefusesInstance are well-formed, every other kind has one
// fault that info, run or validate must name (NotUtf8: its name and texts hold
// bytes that are not UTF-8). Two faults need builds of their own:
// STAND_IN_NO_PLUGMAIN exports no plugMain, STAND_IN_CRASHES_ON_LOAD crashes in
// a static initialiser.
#include "ffglex/FFGLGL.h"
#include "host/FFGLMixed.h"

#include <dlfcn.h>
#include <sys/socket.h>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace
{

// The name is exactly 16 characters: the field has no terminator, as the
// guard's 17-character name has none.
PluginInfoStructTag s_info{ 2, 1, { 'T', 'E', 'S', 'T' },
	{ 'T', 'o', 'o', 'l', ' ', 'T', 'e', 's', 't', ' ', 'M', 'o', 'd', 'u', 'l', 'e' }, FF_SOURCE };
PluginExtendedInfoStructTag s_extendedInfo{ 3, 7, "A module for the host tests", "About\ttab", 0, nullptr };
char s_endless[8192]; // no terminator for far longer than any text a host reads
int s_instance;
char s_display[32];

bool Is(const char* kind)
{
	Dl_info self{};
	dladdr(&s_info, &self);
	const std::string name = self.dli_fname != nullptr ? self.dli_fname : "";
	const std::string suffix = std::string(kind) + ".so";
	return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

const char* Endless()
{
	std::memset(s_endless, 'A', sizeof s_endless);
	return s_endless;
}

FFMixed Frame(const ProcessOpenGLStructTag* frame)
{
	const bool hasInput = frame != nullptr && frame->numInputTextures >= 1 && frame->inputTextures != nullptr &&
		frame->inputTextures[0] != nullptr;
	if (!hasInput && !Is("DrawsWithoutInput"))
		return FromUInt(FF_FAIL);
	if (Is("LeavesTextureUnit"))
		glActiveTexture(GL_TEXTURE3);
	if (Is("LeavesBlend"))
		glEnable(GL_BLEND);
	return FromUInt(FF_SUCCESS);
}

FFMixed Answer(std::uint32_t code, FFMixed input, void* instance)
{
	const std::uint32_t index = input.UIntValue;
	switch (code)
	{
	case FF_GET_INFO:
		if (Is("BadIdentity"))
			std::memcpy(s_info.PluginUniqueID, "B\x01K\x7F", 4);
		if (Is("NotUtf8"))
			std::memcpy(s_info.PluginName, "\xE9\xFF", 2);
		return FromPointer(Is("NullInfo") ? nullptr : &s_info);
	case FF_GET_EXTENDED_INFO:
		if (Is("WildDescription"))
			s_extendedInfo.Description = reinterpret_cast<const char*>(std::uintptr_t{ 16 });
		if (Is("NotUtf8"))
			s_extendedInfo.Description = "caf\xE9 \xFF";
		if (Is("HugeExtendedData")) // almost 4 GiB claimed behind a 4-byte block
			s_extendedInfo = { 3, 7, "", "", 0xFFFFFFF0u, &s_instance };
		return FromPointer(&s_extendedInfo);
	case FF_INITIALISE_V2:
		return FromUInt(Is("FailedInitialise") ? FF_FAIL : FF_SUCCESS);
	case FF_DEINITIALISE:
		return FromUInt(FF_SUCCESS);
	case FF_GET_PLUGIN_CAPS:
		return FromUInt(index == FF_CAP_MINIMUM_INPUT_FRAMES   ? 1
				: index == FF_CAP_MAXIMUM_INPUT_FRAMES         ? 2
				: index == FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ? FF_SUPPORTED
															   : FF_UNSUPPORTED);
	case FF_GET_NUM_PARAMETERS:
		if (Is("Crashes"))
			return FromUInt(static_cast<std::uint32_t>(*static_cast<volatile int*>(instance)));
		if (Is("Throws"))
			throw std::runtime_error("thrown through plugMain");
		return FromUInt(Is("FailedCount") ? FF_FAIL : Is("HugeCount") ? 0x7FFFFFFFu : 2u);
	case FF_GET_PARAMETER_NAME:
		if (Is("UnterminatedName") && index == 0)
			return FromPointer(Endless());
		return FromPointer(index == 0 ? "Amount" : index == 1 && !Is("NullName") ? "Caption" : nullptr);
	case FF_GET_PARAMETER_TYPE:
		return FromUInt(index == 0 ? FF_TYPE_STANDARD : index == 1 ? FF_TYPE_TEXT : FF_FAIL);
	case FF_GET_PARAMETER_DEFAULT:
		if (index == 0)
			return FFGLMixed::FromFloat(Is("NaNDefault") ? std::numeric_limits<float>::quiet_NaN() : 0.25f);
		return index == 1 ? FromPointer("hello") : FromUInt(FF_FAIL);
	case FF_GET_RANGE:
	{
		auto* record = static_cast<GetRangeStructTag*>(input.PointerValue);
		if (record == nullptr)
			return FromUInt(FF_FAIL);
		record->min = 0.0f;
		record->max = Is("NaNRange")       ? std::numeric_limits<float>::quiet_NaN()
			: record->ParameterNumber == 0 ? 1.0f
										   : 0.0f;
		return FromUInt(FF_SUCCESS);
	}
	case FF_INSTANTIATE_GL:
		if (Is("RefusesInstance") || input.PointerValue == nullptr)
			return FromUInt(FF_FAIL);
		if (Is("LeaksBuffer"))
		{
			GLuint buffer = 0;
			glGenBuffers(1, &buffer);
			glBindBuffer(GL_ARRAY_BUFFER, buffer);
			glBindBuffer(GL_ARRAY_BUFFER, 0);
		}
		if (Is("LeaksDescriptor"))
			socket(AF_INET, SOCK_DGRAM, 0);
		return FromPointer(&s_instance);
	case FF_DEINSTANTIATE_GL:
		return FromUInt(instance == &s_instance ? FF_SUCCESS : FF_FAIL);
	case FF_GET_PARAMETER_DISPLAY:
		if (instance != &s_instance)
			return FromUInt(FF_FAIL);
		if (Is("UnterminatedDisplay"))
			return FromPointer(Endless());
		if (Is("LongDisplay")) // longer than the 16-byte field a host copies it into
			return FromPointer("a display of 18 ch");
		if (Is("NotUtf8"))
			return FromPointer("\xC3 display of 18 \xFF");
		std::strcpy(s_display, index == 0 ? "25 %" : index == 1 ? "hello" : "");
		return FromPointer(s_display);
	case FF_GET_INPUT_STATUS:
		return FromUInt(Is("InputPastMaximum") && index == 2 ? 1u : FF_FAIL);
	case FF_PROCESS_OPENGL:
		return Frame(static_cast<const ProcessOpenGLStructTag*>(input.PointerValue));
	default:
		return FromUInt(FF_FAIL);
	}
}

#ifdef STAND_IN_CRASHES_ON_LOAD
// Runs while the host's dlopen loads the module, before the kind can be known.
volatile int* volatile s_nowhere = nullptr; // volatile: neither the pointer nor the read may go
const int s_loadTimeCrash = *s_nowhere;
#endif

} // namespace

#ifdef STAND_IN_NO_PLUGMAIN
#define plugMain notPlugMain
#endif
extern "C" __attribute__((visibility("default"))) FFMixed plugMain(std::uint32_t code, FFMixed input, void* instance)
{
	return Answer(code, input, instance);
}
