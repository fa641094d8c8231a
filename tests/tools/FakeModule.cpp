// A small stand-in plug-in module for the ffgl-host tests, built once per
// MODULE_KIND. Most kinds are broken on purpose, each in one way a host must
// survive; Good and RefusesInstance are well-formed.
#include "host/FFGLRecords.h"

#include <cstring>
#include <stdexcept>

namespace
{

enum class Kind
{
	Good,             // an effect with a text and a float parameter and display texts
	RefusesInstance,  // as Good, but code 18 answers FF_FAIL (a module that needs GL)
	NoPlugMain,       // exports something, but not plugMain
	NullInfo,         // code 0 answers null
	FailedInitialise, // code 34 answers FF_FAIL
	FailedCount,      // code 4 answers FF_FAIL
	HugeCount,        // code 4 answers 0x7FFFFFFF
	NullName,         // code 5 answers null for parameter 1
	UnterminatedName, // the name of parameter 0 has no terminator for 8 KiB
	WildDescription,  // the description pointer is a small non-null garbage address
	Crashes,          // code 4 dereferences a null pointer
	CrashesOnLoad,    // a static initialiser dereferences a null pointer
	Throws,           // code 4 lets an exception out of plugMain
};

constexpr Kind kKind = Kind::MODULE_KIND;

// The name is exactly 16 characters for the Good kinds: the field then has no
// terminator, as the guard's 17-character name does.
PluginInfoStructTag s_info{ 2, 1, { 'T', 'E', 'S', 'T' },
	{ 'T', 'o', 'o', 'l', ' ', 'T', 'e', 's', 't', ' ', 'M', 'o', 'd', 'u', 'l', 'e' }, FF_SOURCE };
PluginExtendedInfoStructTag s_extendedInfo{ 3, 7, "A module for the host tests", "About\ttab", 0, nullptr };
char s_longName[8192];
int s_instance;
char s_display[32];

FFMixed Number(std::uint32_t value)
{
	FFMixed result{};
	result.UIntValue = value;
	return result;
}

FFMixed Pointer(const void* pointer)
{
	FFMixed result{};
	result.PointerValue = const_cast<void*>(pointer);
	return result;
}

FFMixed FloatBits(float value)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof bits);
	return Number(bits);
}

FFMixed Answer(std::uint32_t code, FFMixed input, void* instance)
{
	switch (code)
	{
	case FF_GET_INFO:
		return Pointer(kKind == Kind::NullInfo ? nullptr : &s_info);
	case FF_GET_EXTENDED_INFO:
		if (kKind == Kind::WildDescription)
			s_extendedInfo.Description = reinterpret_cast<const char*>(std::uintptr_t{ 16 });
		return Pointer(&s_extendedInfo);
	case FF_INITIALISE_V2:
		return Number(kKind == Kind::FailedInitialise ? FF_FAIL : FF_SUCCESS);
	case FF_DEINITIALISE:
		return Number(FF_SUCCESS);
	case FF_GET_PLUGIN_CAPS:
		switch (input.UIntValue)
		{
		case FF_CAP_SET_TIME:
			return Number(FF_UNSUPPORTED);
		case FF_CAP_MINIMUM_INPUT_FRAMES:
			return Number(0);
		case FF_CAP_MAXIMUM_INPUT_FRAMES:
			return Number(2);
		case FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION:
			return Number(FF_SUPPORTED);
		default:
			return Number(FF_UNSUPPORTED);
		}
	case FF_GET_NUM_PARAMETERS:
		if (kKind == Kind::Crashes)
			return Number(static_cast<std::uint32_t>(*static_cast<volatile int*>(instance)));
		if (kKind == Kind::Throws)
			throw std::runtime_error("thrown through plugMain");
		if (kKind == Kind::FailedCount)
			return Number(FF_FAIL);
		return Number(kKind == Kind::HugeCount ? 0x7FFFFFFFu : 2u);
	case FF_GET_PARAMETER_NAME:
		if (kKind == Kind::UnterminatedName && input.UIntValue == 0)
		{
			std::memset(s_longName, 'A', sizeof s_longName);
			return Pointer(s_longName);
		}
		if (kKind == Kind::NullName && input.UIntValue == 1)
			return Pointer(nullptr);
		return Pointer(input.UIntValue == 0 ? "Caption" : input.UIntValue == 1 ? "Amount" : nullptr);
	case FF_GET_PARAMETER_TYPE:
		return Number(input.UIntValue == 0 ? FF_TYPE_TEXT : input.UIntValue == 1 ? FF_TYPE_STANDARD : FF_FAIL);
	case FF_GET_PARAMETER_DEFAULT:
		if (input.UIntValue == 0)
			return Pointer("hello");
		return input.UIntValue == 1 ? FloatBits(0.25f) : Number(FF_FAIL);
	case FF_GET_RANGE:
	{
		auto* record = static_cast<GetRangeStructTag*>(input.PointerValue);
		if (record == nullptr)
			return Number(FF_FAIL);
		record->min = 0.0f;
		record->max = record->ParameterNumber == 1 ? 1.0f : 0.0f;
		return Number(FF_SUCCESS);
	}
	case FF_INSTANTIATE_GL:
		if (kKind == Kind::RefusesInstance || input.PointerValue == nullptr)
			return Number(FF_FAIL);
		return Pointer(&s_instance);
	case FF_DEINSTANTIATE_GL:
		return Number(instance == &s_instance ? FF_SUCCESS : FF_FAIL);
	case FF_GET_PARAMETER_DISPLAY:
		if (instance != &s_instance)
			return Number(FF_FAIL);
		std::strcpy(s_display, input.UIntValue == 0 ? "hello" : input.UIntValue == 1 ? "25 %" : "");
		return Pointer(s_display);
	default:
		return Number(FF_FAIL);
	}
}

// Runs while the host's dlopen loads the module.
struct LoadTimeCheck
{
	LoadTimeCheck()
	{
		int* volatile nowhere = nullptr; // volatile pointer: the optimiser may not assume it is null
		if (kKind == Kind::CrashesOnLoad)
			s_instance = *nowhere;
	}
} s_loadTimeCheck;

} // namespace

#ifdef KIND_NoPlugMain
#define plugMain notPlugMain
#endif
extern "C" __attribute__((visibility("default"))) FFMixed plugMain(std::uint32_t code, FFMixed input, void* instance)
{
	return Answer(code, input, instance);
}
