// The records that cross the boundary between a host application and a
// plug-in, byte for byte, with the numeric codes that travel in them.
//
// This header is the contract with every host: the layouts are those of 64-bit
// little-endian targets with natural alignment, and each one is pinned by
// static assertions below. Padding bytes are neither read nor written.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Result codes. A failure test compares with exactly FF_FAIL.
constexpr std::uint32_t FF_SUCCESS = 0;
constexpr std::uint32_t FF_FAIL = 0xFFFFFFFFu;
constexpr std::uint32_t FF_SUPPORTED = 1;
constexpr std::uint32_t FF_UNSUPPORTED = 0;

// Function codes of plugMain.
constexpr std::uint32_t FF_GET_INFO = 0;
constexpr std::uint32_t FF_INITIALISE = 1; // refused: code 34 initialises
constexpr std::uint32_t FF_DEINITIALISE = 2;
constexpr std::uint32_t FF_PROCESSFRAME = 3; // refused
constexpr std::uint32_t FF_GET_NUM_PARAMETERS = 4;
constexpr std::uint32_t FF_GET_PARAMETER_NAME = 5;
constexpr std::uint32_t FF_GET_PARAMETER_DEFAULT = 6;
constexpr std::uint32_t FF_GET_PARAMETER_DISPLAY = 7;
constexpr std::uint32_t FF_SET_PARAMETER = 8;
constexpr std::uint32_t FF_GET_PARAMETER = 9;
constexpr std::uint32_t FF_GET_PLUGIN_CAPS = 10;
constexpr std::uint32_t FF_INSTANTIATE = 11;   // refused
constexpr std::uint32_t FF_DEINSTANTIATE = 12; // refused
constexpr std::uint32_t FF_GET_EXTENDED_INFO = 13;
constexpr std::uint32_t FF_PROCESSFRAMECOPY = 14; // refused
constexpr std::uint32_t FF_GET_PARAMETER_TYPE = 15;
constexpr std::uint32_t FF_GET_INPUT_STATUS = 16;
constexpr std::uint32_t FF_PROCESS_OPENGL = 17;
constexpr std::uint32_t FF_INSTANTIATE_GL = 18;
constexpr std::uint32_t FF_DEINSTANTIATE_GL = 19;
constexpr std::uint32_t FF_SET_TIME = 20;
constexpr std::uint32_t FF_CONNECT = 21;
constexpr std::uint32_t FF_DISCONNECT = 22;
constexpr std::uint32_t FF_RESIZE = 23;
constexpr std::uint32_t FF_GET_NUM_PARAMETER_ELEMENTS = 31;
constexpr std::uint32_t FF_GET_PARAMETER_USAGE = 32;
constexpr std::uint32_t FF_GET_PLUGIN_SHORT_NAME = 33;
constexpr std::uint32_t FF_INITIALISE_V2 = 34;
constexpr std::uint32_t FF_GET_PARAMETER_ELEMENT_NAME = 35;
constexpr std::uint32_t FF_GET_PARAMETER_ELEMENT_VALUE = 36;
constexpr std::uint32_t FF_SET_PARAMETER_ELEMENT_VALUE = 37;
constexpr std::uint32_t FF_SET_BEATINFO = 38;
constexpr std::uint32_t FF_SET_HOSTINFO = 39;
constexpr std::uint32_t FF_SET_SAMPLERATE = 40;
constexpr std::uint32_t FF_GET_RANGE = 41;
constexpr std::uint32_t FF_GET_THUMBNAIL = 42;
constexpr std::uint32_t FF_GET_NUM_FILE_PARAMETER_EXTENSIONS = 43;
constexpr std::uint32_t FF_GET_FILE_PARAMETER_EXTENSION = 44;
constexpr std::uint32_t FF_GET_PARAMETER_VISIBILITY = 45;
constexpr std::uint32_t FF_GET_PARAMETER_EVENTS = 46;
constexpr std::uint32_t FF_GET_NUM_ELEMENT_SEPARATORS = 47;
constexpr std::uint32_t FF_GET_SEPARATOR_ELEMENT_INDEX = 48;
constexpr std::uint32_t FF_ENABLE_PLUGIN_CAP = 49;
constexpr std::uint32_t FF_GET_PARAM_GROUP = 50;
constexpr std::uint32_t FF_GET_PARAM_DISPLAY_NAME = 51;

// Capabilities asked with code 10 (and enabled with code 49).
constexpr std::uint32_t FF_CAP_SET_TIME = 5;
constexpr std::uint32_t FF_CAP_MINIMUM_INPUT_FRAMES = 10;
constexpr std::uint32_t FF_CAP_MAXIMUM_INPUT_FRAMES = 11;
constexpr std::uint32_t FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION = 16;

// Plug-in types of the identity record.
constexpr std::uint32_t FF_EFFECT = 0;
constexpr std::uint32_t FF_SOURCE = 1;
constexpr std::uint32_t FF_MIXER = 2;

// Parameter type codes. Text (100) and file (14) are the text-like types:
// their value and default travel as text, every other type's as a float.
constexpr std::uint32_t FF_TYPE_BOOLEAN = 0;
constexpr std::uint32_t FF_TYPE_EVENT = 1;
constexpr std::uint32_t FF_TYPE_RED = 2;
constexpr std::uint32_t FF_TYPE_GREEN = 3;
constexpr std::uint32_t FF_TYPE_BLUE = 4;
constexpr std::uint32_t FF_TYPE_STANDARD = 10;
constexpr std::uint32_t FF_TYPE_OPTION = 11;
constexpr std::uint32_t FF_TYPE_BUFFER = 12;
constexpr std::uint32_t FF_TYPE_INTEGER = 13;
constexpr std::uint32_t FF_TYPE_FILE = 14;
constexpr std::uint32_t FF_TYPE_TEXT = 100;
constexpr std::uint32_t FF_TYPE_HUE = 200;
constexpr std::uint32_t FF_TYPE_SATURATION = 201;
constexpr std::uint32_t FF_TYPE_BRIGHTNESS = 202;
constexpr std::uint32_t FF_TYPE_ALPHA = 203;

constexpr bool IsTextLikeParamType(std::uint32_t type)
{
	return type == FF_TYPE_TEXT || type == FF_TYPE_FILE;
}

// Parameter usage codes.
constexpr std::uint32_t FF_USAGE_STANDARD = 0;
constexpr std::uint32_t FF_USAGE_FFT = 1;

// Parameter event flags, as the registry raises them.
constexpr std::uint64_t FF_EVENT_FLAG_VISIBILITY = 1;
constexpr std::uint64_t FF_EVENT_FLAG_DISPLAY_NAME = 2;
constexpr std::uint64_t FF_EVENT_FLAG_ELEMENTS = 8;

// ---------------------------------------------------------------------------
// The 8-byte argument and result of plugMain. A 32-bit result goes out in
// UIntValue with the upper four bytes zero.
union FFMixed
{
	std::uint32_t UIntValue;
	void* PointerValue;
};

// Codes 18 (instantiate) and 23 (resize).
struct FFGLViewportStructTag
{
	std::uint32_t x;
	std::uint32_t y;
	std::uint32_t width;
	std::uint32_t height;
};

// One input texture. The picture covers texture coordinates
// 0..Width/HardwareWidth and 0..Height/HardwareHeight.
struct FFGLTextureStructTag
{
	std::uint32_t Width;
	std::uint32_t Height;
	std::uint32_t HardwareWidth;
	std::uint32_t HardwareHeight;
	std::uint32_t Handle; // GL name of the 2D texture
};

// Code 17, once per frame. Entries of inputTextures may be null.
struct ProcessOpenGLStructTag
{
	std::uint32_t numInputTextures;
	FFGLTextureStructTag** inputTextures;
	std::uint32_t HostFBO;
};

// Code 8. Text-like parameters pass a pointer to a zero-terminated text in
// NewParameterValue; all others a float in its first four bytes.
struct SetParameterStructTag
{
	std::uint32_t ParameterNumber;
	FFMixed NewParameterValue;
};

// Code 37: a float in the first four bytes of NewParameterValue.
struct SetParameterElementValueStructTag
{
	std::uint32_t ParameterNumber;
	std::uint32_t ElementNumber;
	FFMixed NewParameterValue;
};

// Codes 35, 36, 44 (ElementNumber = file extension index) and 48
// (ElementNumber = separator index).
struct ParamElementStructTag
{
	std::uint32_t ParameterNumber;
	std::uint32_t ElementNumber;
};

// Code 41: ParameterNumber in, min and max out.
struct GetRangeStructTag
{
	std::uint32_t ParameterNumber;
	float min;
	float max;
};

// A host-owned character buffer. The plug-in writes at most maxToWrite bytes
// and adds no terminator.
struct StringBufferStructTag
{
	char* address;
	std::uint32_t maxToWrite;
};

// Codes 50 and 51.
struct GetStringStructTag
{
	std::uint32_t ParameterNumber;
	StringBufferStructTag stringBuffer;
};

struct ParamEventStructTag
{
	std::uint32_t ParameterNumber;
	std::uint64_t eventFlags;
};

// Code 46. numEvents is the capacity of events on entry and the number
// written (or, with events null, the number pending) on return.
struct GetParamEventsStructTag
{
	std::uint32_t numEvents;
	ParamEventStructTag* events;
};

// Code 38.
struct SetBeatInfoStructTag
{
	float bpm;
	float barPhase;
};

// Code 39. Both texts are zero-terminated and are copied by the plug-in.
struct SetHostInfoStructTag
{
	const char* hostName;
	const char* hostVersion;
};

// Code 42. rgbaPixelBuffer is width * height * 4 bytes, or null to ask only
// for the size.
struct GetThumbnailStructTag
{
	std::uint32_t width;
	std::uint32_t height;
	void* rgbaPixelBuffer;
};

// Code 0. PluginUniqueID has no terminator; PluginName is zero-terminated only
// when the name is shorter than 16 characters.
struct PluginInfoStructTag
{
	std::uint32_t APIMajorVersion;
	std::uint32_t APIMinorVersion;
	char PluginUniqueID[4];
	char PluginName[16];
	std::uint32_t PluginType;
};

// Code 13.
struct PluginExtendedInfoStructTag
{
	std::uint32_t PluginMajorVersion;
	std::uint32_t PluginMinorVersion;
	const char* Description;
	const char* About;
	std::uint32_t FreeFrameExtendedDataSize;
	const void* FreeFrameExtendedDataBlock;
};

// ---------------------------------------------------------------------------
// The byte layout for 64-bit little-endian targets.
#if (UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu) && defined(__BYTE_ORDER__) && (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
static_assert(sizeof(FFMixed) == 8, "FFMixed");

static_assert(sizeof(FFGLViewportStructTag) == 16, "FFGLViewportStructTag");
static_assert(offsetof(FFGLViewportStructTag, x) == 0, "FFGLViewportStructTag::x");
static_assert(offsetof(FFGLViewportStructTag, y) == 4, "FFGLViewportStructTag::y");
static_assert(offsetof(FFGLViewportStructTag, width) == 8, "FFGLViewportStructTag::width");
static_assert(offsetof(FFGLViewportStructTag, height) == 12, "FFGLViewportStructTag::height");

static_assert(sizeof(FFGLTextureStructTag) == 20, "FFGLTextureStructTag");
static_assert(offsetof(FFGLTextureStructTag, Width) == 0, "FFGLTextureStructTag::Width");
static_assert(offsetof(FFGLTextureStructTag, Height) == 4, "FFGLTextureStructTag::Height");
static_assert(offsetof(FFGLTextureStructTag, HardwareWidth) == 8, "FFGLTextureStructTag::HardwareWidth");
static_assert(offsetof(FFGLTextureStructTag, HardwareHeight) == 12, "FFGLTextureStructTag::HardwareHeight");
static_assert(offsetof(FFGLTextureStructTag, Handle) == 16, "FFGLTextureStructTag::Handle");

static_assert(sizeof(ProcessOpenGLStructTag) == 24, "ProcessOpenGLStructTag");
static_assert(offsetof(ProcessOpenGLStructTag, numInputTextures) == 0, "ProcessOpenGLStructTag::numInputTextures");
static_assert(offsetof(ProcessOpenGLStructTag, inputTextures) == 8, "ProcessOpenGLStructTag::inputTextures");
static_assert(offsetof(ProcessOpenGLStructTag, HostFBO) == 16, "ProcessOpenGLStructTag::HostFBO");

static_assert(sizeof(SetParameterStructTag) == 16, "SetParameterStructTag");
static_assert(offsetof(SetParameterStructTag, ParameterNumber) == 0, "SetParameterStructTag::ParameterNumber");
static_assert(offsetof(SetParameterStructTag, NewParameterValue) == 8, "SetParameterStructTag::NewParameterValue");

static_assert(sizeof(SetParameterElementValueStructTag) == 16, "SetParameterElementValueStructTag");
static_assert(offsetof(SetParameterElementValueStructTag, ParameterNumber) == 0,
	"SetParameterElementValueStructTag::ParameterNumber");
static_assert(offsetof(SetParameterElementValueStructTag, ElementNumber) == 4,
	"SetParameterElementValueStructTag::ElementNumber");
static_assert(offsetof(SetParameterElementValueStructTag, NewParameterValue) == 8,
	"SetParameterElementValueStructTag::NewParameterValue");

static_assert(sizeof(ParamElementStructTag) == 8, "ParamElementStructTag");
static_assert(offsetof(ParamElementStructTag, ParameterNumber) == 0, "ParamElementStructTag::ParameterNumber");
static_assert(offsetof(ParamElementStructTag, ElementNumber) == 4, "ParamElementStructTag::ElementNumber");

static_assert(sizeof(GetRangeStructTag) == 12, "GetRangeStructTag");
static_assert(offsetof(GetRangeStructTag, ParameterNumber) == 0, "GetRangeStructTag::ParameterNumber");
static_assert(offsetof(GetRangeStructTag, min) == 4, "GetRangeStructTag::min");
static_assert(offsetof(GetRangeStructTag, max) == 8, "GetRangeStructTag::max");

static_assert(sizeof(StringBufferStructTag) == 16, "StringBufferStructTag");
static_assert(offsetof(StringBufferStructTag, address) == 0, "StringBufferStructTag::address");
static_assert(offsetof(StringBufferStructTag, maxToWrite) == 8, "StringBufferStructTag::maxToWrite");

static_assert(sizeof(GetStringStructTag) == 24, "GetStringStructTag");
static_assert(offsetof(GetStringStructTag, ParameterNumber) == 0, "GetStringStructTag::ParameterNumber");
static_assert(offsetof(GetStringStructTag, stringBuffer) == 8, "GetStringStructTag::stringBuffer");
static_assert(offsetof(GetStringStructTag, stringBuffer) + offsetof(StringBufferStructTag, maxToWrite) == 16,
	"GetStringStructTag maxToWrite");

static_assert(sizeof(ParamEventStructTag) == 16, "ParamEventStructTag");
static_assert(offsetof(ParamEventStructTag, ParameterNumber) == 0, "ParamEventStructTag::ParameterNumber");
static_assert(offsetof(ParamEventStructTag, eventFlags) == 8, "ParamEventStructTag::eventFlags");

static_assert(sizeof(GetParamEventsStructTag) == 16, "GetParamEventsStructTag");
static_assert(offsetof(GetParamEventsStructTag, numEvents) == 0, "GetParamEventsStructTag::numEvents");
static_assert(offsetof(GetParamEventsStructTag, events) == 8, "GetParamEventsStructTag::events");

static_assert(sizeof(SetBeatInfoStructTag) == 8, "SetBeatInfoStructTag");
static_assert(offsetof(SetBeatInfoStructTag, bpm) == 0, "SetBeatInfoStructTag::bpm");
static_assert(offsetof(SetBeatInfoStructTag, barPhase) == 4, "SetBeatInfoStructTag::barPhase");

static_assert(sizeof(SetHostInfoStructTag) == 16, "SetHostInfoStructTag");
static_assert(offsetof(SetHostInfoStructTag, hostName) == 0, "SetHostInfoStructTag::hostName");
static_assert(offsetof(SetHostInfoStructTag, hostVersion) == 8, "SetHostInfoStructTag::hostVersion");

static_assert(sizeof(GetThumbnailStructTag) == 16, "GetThumbnailStructTag");
static_assert(offsetof(GetThumbnailStructTag, width) == 0, "GetThumbnailStructTag::width");
static_assert(offsetof(GetThumbnailStructTag, height) == 4, "GetThumbnailStructTag::height");
static_assert(offsetof(GetThumbnailStructTag, rgbaPixelBuffer) == 8, "GetThumbnailStructTag::rgbaPixelBuffer");

static_assert(sizeof(PluginInfoStructTag) == 32, "PluginInfoStructTag");
static_assert(offsetof(PluginInfoStructTag, APIMajorVersion) == 0, "PluginInfoStructTag::APIMajorVersion");
static_assert(offsetof(PluginInfoStructTag, APIMinorVersion) == 4, "PluginInfoStructTag::APIMinorVersion");
static_assert(offsetof(PluginInfoStructTag, PluginUniqueID) == 8, "PluginInfoStructTag::PluginUniqueID");
static_assert(offsetof(PluginInfoStructTag, PluginName) == 12, "PluginInfoStructTag::PluginName");
static_assert(offsetof(PluginInfoStructTag, PluginType) == 28, "PluginInfoStructTag::PluginType");

static_assert(sizeof(PluginExtendedInfoStructTag) == 40, "PluginExtendedInfoStructTag");
static_assert(
	offsetof(PluginExtendedInfoStructTag, PluginMajorVersion) == 0, "PluginExtendedInfoStructTag::PluginMajorVersion");
static_assert(
	offsetof(PluginExtendedInfoStructTag, PluginMinorVersion) == 4, "PluginExtendedInfoStructTag::PluginMinorVersion");
static_assert(offsetof(PluginExtendedInfoStructTag, Description) == 8, "PluginExtendedInfoStructTag::Description");
static_assert(offsetof(PluginExtendedInfoStructTag, About) == 16, "PluginExtendedInfoStructTag::About");
static_assert(offsetof(PluginExtendedInfoStructTag, FreeFrameExtendedDataSize) == 24,
	"PluginExtendedInfoStructTag::FreeFrameExtendedDataSize");
static_assert(offsetof(PluginExtendedInfoStructTag, FreeFrameExtendedDataBlock) == 32,
	"PluginExtendedInfoStructTag::FreeFrameExtendedDataBlock");
#endif

// The signature of the exported entry point, as hosts look it up.
using FF_Main_FuncPtr = FFMixed (*)(std::uint32_t functionCode, FFMixed input, void* instance);
