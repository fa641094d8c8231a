// libFuzzer target: the fuzz input becomes a sequence of host calls on the
// plugMain of the plug-in module linked into this executable: a function code
// (mostly 0..52, sometimes any), a null or live instance and a number or a
// record, null or well formed with fuzzed contents (NaN and infinite floats,
// maxToWrite, event capacities, texture sizes and names, 0 x 0 viewports).
// After each call on the headless GL context the bindings must be back at
// their defaults; each input ends by deleting every instance and
// deinitialising, so a leak shows up as one. No host passes dangling pointers,
// records shorter than their type, buffers smaller than they claim, texts
// without a terminator or a float to a text parameter: neither does this.
#include "ffglex/FFGLGL.h"
#include "host/FFGLEntryPoint.h"
#include "host/FFGLMixed.h"
#include "host/FFGLRecords.h"
#include "support/HeadlessGL.h"
#include "tools/HostTexture.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

namespace
{
constexpr std::size_t kMaxCallsPerInput = 96;
constexpr std::size_t kMaxInstances = 4;
constexpr std::uint32_t kMaxInputTextures = 4;
constexpr std::uint32_t kMaxHostBuffer = 256;
constexpr std::uint32_t kMaxThumbnailBytes = 1u << 22;

std::unique_ptr<HeadlessGL> s_gl;
HeadlessGL::Framebuffer s_output;
GLuint s_textures[2] = { 0, 0 }; // 16x16 grey, 1x1 black
std::vector<void*> s_instances;

[[noreturn]] void Fail(const std::string& message)
{
	std::fprintf(stderr, "PlugMainFuzzer: %s\n", message.c_str());
	std::abort();
}

// Every call finds the host's framebuffer bound and its viewport set. The
// scope objects of the toolkit promise to leave the other bindings at their
// defaults and the host framebuffer bound.
FFMixed Call(std::uint32_t code, FFMixed input, void* instance)
{
	HeadlessGL::BindHostFramebuffer(s_output);
	const FFMixed result = plugMain(code, input, instance);
	const GLint host = static_cast<GLint>(s_output.framebuffer);
	const std::pair<GLenum, GLint> checks[] = { { GL_CURRENT_PROGRAM, 0 }, { GL_ACTIVE_TEXTURE, GL_TEXTURE0 },
		{ GL_TEXTURE_BINDING_2D, 0 }, { GL_ARRAY_BUFFER_BINDING, 0 }, { GL_VERTEX_ARRAY_BINDING, 0 },
		{ GL_UNIFORM_BUFFER_BINDING, 0 }, { GL_RENDERBUFFER_BINDING, 0 }, { GL_DRAW_FRAMEBUFFER_BINDING, host },
		{ GL_READ_FRAMEBUFFER_BINDING, host } };
	for (const auto& [name, expected] : checks)
	{
		GLint value = 0;
		glGetIntegerv(name, &value);
		if (value != expected)
			Fail("code " + std::to_string(code) + " left GL state " + std::to_string(name) + " at " +
				std::to_string(value) + " (expected " + std::to_string(expected) + ")");
	}
	return result;
}

bool OneIn(FuzzedDataProvider& data, int n)
{
	return data.ConsumeIntegralInRange<int>(1, n) == 1;
}

// Interesting values are favoured: edges, NaN, infinities, then anything.
float FuzzFloat(FuzzedDataProvider& data)
{
	static const float kEdges[] = { 0.0f, 1.0f, 0.5f, -1.0f, 2.0f, -0.0f, 1e-8f, 0.999999f,
		std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
		-std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
		std::numeric_limits<float>::lowest(), std::numeric_limits<float>::denorm_min() };
	if (data.ConsumeBool())
		return kEdges[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kEdges) - 1)];
	return FFGLMixed::FloatFromBits(data.ConsumeIntegral<std::uint32_t>());
}

// Parameter, element and index numbers: mostly small, sometimes anything.
std::uint32_t FuzzIndex(FuzzedDataProvider& data)
{
	return data.ConsumeBool() ? data.ConsumeIntegralInRange<std::uint32_t>(0, 8)
							  : data.ConsumeIntegral<std::uint32_t>();
}

// Sizes: 0, small, plausible, or anything.
std::uint32_t FuzzSize(FuzzedDataProvider& data)
{
	static const std::uint32_t kLimits[] = { 0, 64, 4096, std::numeric_limits<std::uint32_t>::max() };
	const std::size_t kind = data.ConsumeIntegralInRange<std::size_t>(0, 3);
	return kind == 0 ? 0 : data.ConsumeIntegralInRange<std::uint32_t>(kind == 3 ? 0 : 1, kLimits[kind]);
}

// Everything that must outlive one call: the record and the buffers, texts and
// textures it points to.
struct CallStorage
{
	std::vector<std::unique_ptr<char[]>> buffers;
	std::deque<std::string> texts; // a deque: growing it moves no text
	std::vector<FFGLTextureStructTag> textures;
	std::vector<FFGLTextureStructTag*> texturePointers;
	union
	{
		FFGLViewportStructTag viewport;
		ProcessOpenGLStructTag frame;
		SetParameterStructTag setParameter;
		SetParameterElementValueStructTag setElement;
		ParamElementStructTag element;
		GetRangeStructTag range;
		GetStringStructTag string;
		GetParamEventsStructTag events;
		SetBeatInfoStructTag beat;
		SetHostInfoStructTag hostInfo;
		GetThumbnailStructTag thumbnail;
		double time;
	} record;

	// Exactly the size the record announces, so a write past it is caught.
	char* Buffer(std::size_t size)
	{
		buffers.emplace_back(new char[size == 0 ? 1 : size]);
		std::memset(buffers.back().get(), 0x5A, size == 0 ? 1 : size);
		return buffers.back().get();
	}

	const char* Text(FuzzedDataProvider& data)
	{
		if (OneIn(data, 8))
			return nullptr;
		texts.push_back(data.ConsumeRandomLengthString(300));
		return texts.back().c_str();
	}

	// Any number of inputs, each null, plausible or any size, with the grey
	// texture, the black one, none or any GL name; or a null array.
	void FillFrame(FuzzedDataProvider& data)
	{
		ProcessOpenGLStructTag& frame = record.frame;
		const std::uint32_t count = data.ConsumeIntegralInRange<std::uint32_t>(0, kMaxInputTextures);
		frame = { count, nullptr, data.ConsumeBool() ? s_output.framebuffer : data.ConsumeIntegral<std::uint32_t>() };
		if (count == 0 ? data.ConsumeBool() : OneIn(data, 8))
			return;
		textures.resize(count);
		texturePointers.assign(count, nullptr);
		for (std::uint32_t i = 0; i < count; ++i)
		{
			if (OneIn(data, 6))
				continue;
			const bool plausible = data.ConsumeBool();
			auto handle = [&data]() -> std::uint32_t
			{
				const int pick = data.ConsumeIntegralInRange<int>(0, 4);
				return pick < 3 ? s_textures[pick / 2] : pick == 3 ? 0 : data.ConsumeIntegral<std::uint32_t>();
			};
			textures[i] = { plausible ? 16 : FuzzSize(data), plausible ? 16 : FuzzSize(data),
				plausible ? 16 : FuzzSize(data), plausible ? 16 : FuzzSize(data), handle() };
			texturePointers[i] = &textures[i];
		}
		frame.inputTextures = texturePointers.data();
	}
};

// The lifecycle and frame codes come up more often than their share.
std::uint32_t PickCode(FuzzedDataProvider& data)
{
	static const std::uint32_t kFrequent[] = { FF_PROCESS_OPENGL, FF_PROCESS_OPENGL, FF_INSTANTIATE_GL,
		FF_DEINSTANTIATE_GL, FF_SET_PARAMETER, FF_SET_PARAMETER };
	const int pick = data.ConsumeIntegralInRange<int>(0, 15);
	if (pick < 3)
		return kFrequent[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kFrequent) - 1)];
	return pick == 3 ? data.ConsumeIntegral<std::uint32_t>() : data.ConsumeIntegralInRange<std::uint32_t>(0, 52);
}

void Step(FuzzedDataProvider& data)
{
	const std::uint32_t code = PickCode(data);
	std::size_t slot = s_instances.size();
	if (!s_instances.empty() && !OneIn(data, 5))
		slot = data.ConsumeIntegralInRange<std::size_t>(0, s_instances.size() - 1);
	void* const instance = slot < s_instances.size() ? s_instances[slot] : nullptr;

	CallStorage storage;
	auto& record = storage.record;
	std::memset(&record, 0, sizeof record);
	const bool nullRecord = OneIn(data, 10);
	FFMixed input = FromPointer(nullRecord ? nullptr : &record);
	switch (code)
	{
	case FF_INSTANTIATE_GL:
	case FF_RESIZE:
		// A braced list is evaluated in order.
		record.viewport = { data.ConsumeBool() ? 0 : FuzzSize(data), data.ConsumeBool() ? 0 : FuzzSize(data),
			FuzzSize(data), FuzzSize(data) };
		break;
	case FF_PROCESS_OPENGL:
		storage.FillFrame(data);
		break;
	case FF_SET_PARAMETER:
	{
		// A host sends a text to a text-like parameter and a float to any
		// other, as the type query tells it.
		SetParameterStructTag& set = record.setParameter;
		set.ParameterNumber = FuzzIndex(data);
		if (IsTextLikeParamType(Call(FF_GET_PARAMETER_TYPE, FromUInt(set.ParameterNumber), nullptr).UIntValue))
			set.NewParameterValue.PointerValue = const_cast<char*>(storage.Text(data));
		else
			set.NewParameterValue = FFGLMixed::FromFloat(FuzzFloat(data));
		break;
	}
	case FF_SET_PARAMETER_ELEMENT_VALUE:
		record.setElement = { FuzzIndex(data), FuzzIndex(data), FFGLMixed::FromFloat(FuzzFloat(data)) };
		break;
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_PARAMETER_ELEMENT_VALUE:
	case FF_GET_FILE_PARAMETER_EXTENSION:
	case FF_GET_SEPARATOR_ELEMENT_INDEX:
		record.element = { FuzzIndex(data), FuzzIndex(data) };
		break;
	case FF_GET_RANGE:
		record.range = { FuzzIndex(data), FuzzFloat(data), FuzzFloat(data) };
		break;
	case FF_GET_PARAM_GROUP:
	case FF_GET_PARAM_DISPLAY_NAME:
	{
		const std::uint32_t number = FuzzIndex(data);
		const std::uint32_t size = data.ConsumeIntegralInRange<std::uint32_t>(0, kMaxHostBuffer);
		char* buffer = OneIn(data, 8) ? nullptr : storage.Buffer(size);
		record.string = { number, { buffer, buffer != nullptr ? size : 0 } }; // a null buffer has no room
		break;
	}
	case FF_GET_PARAMETER_EVENTS:
		// Only counting (a null array, any capacity), or an array of exactly the capacity.
		if (data.ConsumeBool())
			record.events = { data.ConsumeIntegral<std::uint32_t>(), nullptr };
		else
		{
			const std::uint32_t capacity = data.ConsumeIntegralInRange<std::uint32_t>(0, 16);
			record.events = { capacity,
				reinterpret_cast<ParamEventStructTag*>(storage.Buffer(sizeof(ParamEventStructTag) * capacity)) };
		}
		break;
	case FF_SET_BEATINFO:
		record.beat = { FuzzFloat(data), FuzzFloat(data) };
		break;
	case FF_SET_HOSTINFO:
		record.hostInfo = { storage.Text(data), storage.Text(data) };
		break;
	case FF_SET_TIME:
	{
		const std::uint64_t bits = data.ConsumeIntegral<std::uint64_t>();
		std::memcpy(&record.time, &bits, sizeof bits);
		break;
	}
	case FF_GET_THUMBNAIL:
		// The size first, then a buffer of exactly that size when asked.
		if (!nullRecord && data.ConsumeBool())
		{
			Call(FF_GET_THUMBNAIL, input, nullptr);
			const std::uint64_t bytes = std::uint64_t{ record.thumbnail.width } * record.thumbnail.height * 4;
			if (bytes > 0 && bytes <= kMaxThumbnailBytes)
				record.thumbnail.rgbaPixelBuffer = storage.Buffer(static_cast<std::size_t>(bytes));
		}
		break;
	default: // codes that take a number (or nothing)
		input = FromUInt(FuzzIndex(data));
		break;
	}

	const FFMixed result = Call(code, input, instance);
	if (code == FF_INSTANTIATE_GL && result.PointerValue != nullptr && FFGLMixed::AllBits(result) != FF_FAIL)
	{
		if (s_instances.size() < kMaxInstances)
			s_instances.push_back(result.PointerValue);
		else
			Call(FF_DEINSTANTIATE_GL, FromUInt(0), result.PointerValue);
	}
	if (code == FF_DEINSTANTIATE_GL && instance != nullptr)
	{
		if (result.UIntValue != FF_SUCCESS)
			Fail("code 19 refused a live instance");
		s_instances.erase(s_instances.begin() + static_cast<std::ptrdiff_t>(slot));
	}
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
	std::string error;
	s_gl = HeadlessGL::Create(&error);
	if (!s_gl)
		Fail("no headless OpenGL 4.1 core context: " + error);
	s_output = s_gl->CreateHostFramebuffer(16, 16);
	if (!s_output.IsValid())
		Fail("could not create the host framebuffer");
	const std::vector<std::uint8_t> grey(16 * 16 * 4, 128), black(4, 0);
	s_textures[0] = ffgltool::CreateInputTexture(16, 16, grey.data(), GL_NEAREST);
	s_textures[1] = ffgltool::CreateInputTexture(1, 1, black.data(), GL_NEAREST);
	return 0;
}

// What a host does at the end of a show: delete every instance, then
// deinitialise. Anything the module still holds afterwards is a leak.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
	FuzzedDataProvider data(bytes, size);
	for (std::size_t call = 0; call < kMaxCallsPerInput && data.remaining_bytes() > 0; ++call)
		Step(data);
	for (void* instance : s_instances)
		Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
	s_instances.clear();
	Call(FF_DEINITIALISE, FromUInt(0), nullptr);
	return 0;
}
