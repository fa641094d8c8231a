// libFuzzer target: the fuzz input becomes a sequence of host calls on the
// plugMain of a plug-in module linked into this executable. Each call picks a
// function code (mostly 0..52, sometimes any), an instance handle (null or a
// live one) and an argument: a number, or a record, null or well formed with
// fuzzed contents (indexes, floats with NaN and infinities, maxToWrite, event
// capacities, texture sizes and GL names, viewports including 0 x 0). Frames
// run on a headless GL context with a host framebuffer bound; after each call
// the GL bindings must be back at their defaults. Each input ends by deleting
// every live instance and deinitialising, so a leak shows up as one.
// Out of scope, because no host passes them: dangling or random pointers,
// records shorter than their type, host buffers smaller than maxToWrite or the
// event capacity, texts without a terminator, and a float where the
// parameter's type says text (the host asks the type first).
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

struct GLWorld
{
	std::unique_ptr<HeadlessGL> gl;
	HeadlessGL::Framebuffer output;
	GLuint textures[2] = { 0, 0 }; // 16x16 grey, 1x1 black
}* s_world = nullptr;

[[noreturn]] void Fail(const std::string& message)
{
	std::fprintf(stderr, "PlugMainFuzzer: %s\n", message.c_str());
	std::abort();
}

// The scope objects of the toolkit promise to leave these at their defaults;
// the host framebuffer stays bound.
void CheckBindings(std::uint32_t code)
{
	const GLint host = static_cast<GLint>(s_world->output.framebuffer);
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
	if (data.ConsumeBool())
		return data.ConsumeIntegralInRange<std::uint32_t>(0, 8);
	return data.ConsumeIntegral<std::uint32_t>();
}

// Sizes: 0, small, plausible, or anything.
std::uint32_t FuzzSize(FuzzedDataProvider& data)
{
	static const std::uint32_t kLimits[] = { 0, 64, 4096, std::numeric_limits<std::uint32_t>::max() };
	const std::size_t kind = data.ConsumeIntegralInRange<std::size_t>(0, 3);
	return kind == 0 ? 0 : data.ConsumeIntegralInRange<std::uint32_t>(kind == 3 ? 0 : 1, kLimits[kind]);
}

FFGLViewportStructTag FuzzViewport(FuzzedDataProvider& data)
{
	// A braced list is evaluated in order.
	return { data.ConsumeBool() ? 0 : FuzzSize(data), data.ConsumeBool() ? 0 : FuzzSize(data), FuzzSize(data),
		FuzzSize(data) };
}

// Everything that must outlive one call: the records and the buffers and texts
// they point to.
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

	char* Buffer(std::size_t size)
	{
		// Exactly the size the record announces, so a write past it is caught.
		buffers.emplace_back(new char[size == 0 ? 1 : size]);
		std::memset(buffers.back().get(), 0x5A, size == 0 ? 1 : size);
		return buffers.back().get();
	}

	const char* Text(FuzzedDataProvider& data)
	{
		if (data.ConsumeIntegralInRange<int>(0, 7) == 0)
			return nullptr;
		texts.push_back(data.ConsumeRandomLengthString(300));
		return texts.back().c_str();
	}
};

// The grey texture, the black one, none, or any GL name.
std::uint32_t FuzzTextureHandle(FuzzedDataProvider& data)
{
	const int pick = data.ConsumeIntegralInRange<int>(0, 4);
	if (pick < 3)
		return s_world->textures[pick / 2];
	return pick == 3 ? 0 : data.ConsumeIntegral<std::uint32_t>();
}

void FillFrame(FuzzedDataProvider& data, CallStorage& storage)
{
	ProcessOpenGLStructTag& frame = storage.record.frame;
	const std::uint32_t count = data.ConsumeIntegralInRange<std::uint32_t>(0, kMaxInputTextures);
	frame.numInputTextures = count;
	frame.HostFBO = data.ConsumeBool() ? s_world->output.framebuffer : data.ConsumeIntegral<std::uint32_t>();
	frame.inputTextures = nullptr;
	if (count == 0 ? data.ConsumeBool() : data.ConsumeIntegralInRange<int>(0, 7) == 0)
		return; // null array
	storage.textures.resize(count);
	storage.texturePointers.assign(count, nullptr);
	for (std::uint32_t i = 0; i < count; ++i)
	{
		if (data.ConsumeIntegralInRange<int>(0, 5) == 0)
			continue; // null entry
		const bool plausible = data.ConsumeBool();
		storage.textures[i] = { plausible ? 16 : FuzzSize(data), plausible ? 16 : FuzzSize(data),
			plausible ? 16 : FuzzSize(data), plausible ? 16 : FuzzSize(data), FuzzTextureHandle(data) };
		storage.texturePointers[i] = &storage.textures[i];
	}
	frame.inputTextures = storage.texturePointers.data();
}

std::uint32_t PickCode(FuzzedDataProvider& data)
{
	// The lifecycle and frame codes come up more often than their share.
	static const std::uint32_t kFrequent[] = { FF_PROCESS_OPENGL, FF_PROCESS_OPENGL, FF_INSTANTIATE_GL,
		FF_DEINSTANTIATE_GL, FF_SET_PARAMETER, FF_SET_PARAMETER };
	const int pick = data.ConsumeIntegralInRange<int>(0, 15);
	if (pick < 3)
		return kFrequent[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kFrequent) - 1)];
	return pick == 3 ? data.ConsumeIntegral<std::uint32_t>() : data.ConsumeIntegralInRange<std::uint32_t>(0, 52);
}

class Session
{
public:
	~Session()
	{
		// What a host does at the end of a show: delete every instance, then
		// deinitialise. Anything the module still holds afterwards is a leak.
		for (void* instance : instances)
			Call(FF_DEINSTANTIATE_GL, FromUInt(0), instance);
		Call(FF_DEINITIALISE, FromUInt(0), nullptr);
	}

	void Step(FuzzedDataProvider& data)
	{
		const std::uint32_t code = PickCode(data);
		void* instance = nullptr;
		std::size_t slot = instances.size();
		if (!instances.empty() && data.ConsumeIntegralInRange<int>(0, 4) != 0)
		{
			slot = data.ConsumeIntegralInRange<std::size_t>(0, instances.size() - 1);
			instance = instances[slot];
		}

		CallStorage storage;
		std::memset(&storage.record, 0, sizeof storage.record);
		const bool nullRecord = data.ConsumeIntegralInRange<int>(0, 9) == 0;
		FFMixed input = FromPointer(nullRecord ? nullptr : &storage.record);

		switch (code)
		{
		case FF_INSTANTIATE_GL:
		case FF_RESIZE:
			storage.record.viewport = FuzzViewport(data);
			break;
		case FF_PROCESS_OPENGL:
			FillFrame(data, storage);
			break;
		case FF_SET_PARAMETER:
		{
			SetParameterStructTag& set = storage.record.setParameter;
			set.ParameterNumber = FuzzIndex(data);
			// A host sends a text to a text-like parameter and a float to
			// any other, as the type query tells it.
			const std::uint32_t type = Call(FF_GET_PARAMETER_TYPE, FromUInt(set.ParameterNumber), nullptr).UIntValue;
			if (IsTextLikeParamType(type))
				set.NewParameterValue.PointerValue = const_cast<char*>(storage.Text(data));
			else
				set.NewParameterValue = FFGLMixed::FromFloat(FuzzFloat(data));
			break;
		}
		case FF_SET_PARAMETER_ELEMENT_VALUE:
			storage.record.setElement = { FuzzIndex(data), FuzzIndex(data), FFGLMixed::FromFloat(FuzzFloat(data)) };
			break;
		case FF_GET_PARAMETER_ELEMENT_NAME:
		case FF_GET_PARAMETER_ELEMENT_VALUE:
		case FF_GET_FILE_PARAMETER_EXTENSION:
		case FF_GET_SEPARATOR_ELEMENT_INDEX:
			storage.record.element = { FuzzIndex(data), FuzzIndex(data) };
			break;
		case FF_GET_RANGE:
			storage.record.range = { FuzzIndex(data), FuzzFloat(data), FuzzFloat(data) };
			break;
		case FF_GET_PARAM_GROUP:
		case FF_GET_PARAM_DISPLAY_NAME:
		{
			const std::uint32_t number = FuzzIndex(data);
			const std::uint32_t size = data.ConsumeIntegralInRange<std::uint32_t>(0, kMaxHostBuffer);
			char* buffer = data.ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : storage.Buffer(size);
			storage.record.string = { number, { buffer, buffer != nullptr ? size : 0 } }; // a null buffer has no room
			break;
		}
		case FF_GET_PARAMETER_EVENTS:
		{
			// Only counting (a null array, any capacity), or an array of exactly the capacity.
			const bool count = data.ConsumeBool();
			GetParamEventsStructTag& events = storage.record.events;
			events.numEvents =
				count ? data.ConsumeIntegral<std::uint32_t>() : data.ConsumeIntegralInRange<std::uint32_t>(0, 16);
			events.events = count ? nullptr
								  : reinterpret_cast<ParamEventStructTag*>(
										storage.Buffer(sizeof(ParamEventStructTag) * events.numEvents));
			break;
		}
		case FF_SET_BEATINFO:
			storage.record.beat = { FuzzFloat(data), FuzzFloat(data) };
			break;
		case FF_SET_HOSTINFO:
			storage.record.hostInfo = { storage.Text(data), storage.Text(data) };
			break;
		case FF_SET_TIME:
		{
			const std::uint64_t bits = data.ConsumeIntegral<std::uint64_t>();
			std::memcpy(&storage.record.time, &bits, sizeof bits);
			break;
		}
		case FF_GET_THUMBNAIL:
			// The size first, then a buffer of exactly that size when asked.
			storage.record.thumbnail.rgbaPixelBuffer = nullptr;
			if (!nullRecord && data.ConsumeBool())
			{
				Call(FF_GET_THUMBNAIL, input, nullptr);
				const std::uint64_t bytes =
					std::uint64_t{ storage.record.thumbnail.width } * storage.record.thumbnail.height * 4;
				if (bytes > 0 && bytes <= kMaxThumbnailBytes)
					storage.record.thumbnail.rgbaPixelBuffer = storage.Buffer(static_cast<std::size_t>(bytes));
			}
			break;
		default:
			// Codes that take a number (or nothing).
			input = FromUInt(FuzzIndex(data));
			break;
		}

		const FFMixed result = Call(code, input, instance);

		const bool made =
			code == FF_INSTANTIATE_GL && result.PointerValue != nullptr && FFGLMixed::AllBits(result) != FF_FAIL;
		if (made && instances.size() < kMaxInstances)
			instances.push_back(result.PointerValue);
		else if (made)
			Call(FF_DEINSTANTIATE_GL, FromUInt(0), result.PointerValue);
		if (code == FF_DEINSTANTIATE_GL && instance != nullptr && result.UIntValue != FF_SUCCESS)
			Fail("code 19 refused a live instance");
		if (code == FF_DEINSTANTIATE_GL && instance != nullptr)
			instances.erase(instances.begin() + static_cast<std::ptrdiff_t>(slot));
	}

private:
	FFMixed Call(std::uint32_t code, FFMixed input, void* instance)
	{
		// Every call finds the host's framebuffer bound and its viewport set.
		HeadlessGL::BindHostFramebuffer(s_world->output);
		const FFMixed result = plugMain(code, input, instance);
		CheckBindings(code);
		return result;
	}

	std::vector<void*> instances;
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
	static GLWorld world;
	std::string error;
	world.gl = HeadlessGL::Create(&error);
	if (!world.gl)
		Fail("no headless OpenGL 4.1 core context: " + error);
	world.output = world.gl->CreateHostFramebuffer(16, 16);
	if (!world.output.IsValid())
		Fail("could not create the host framebuffer");
	const std::vector<std::uint8_t> grey(16 * 16 * 4, 128), black(4, 0);
	world.textures[0] = ffgltool::CreateInputTexture(16, 16, grey.data(), GL_NEAREST);
	world.textures[1] = ffgltool::CreateInputTexture(1, 1, black.data(), GL_NEAREST);
	s_world = &world;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
	FuzzedDataProvider data(bytes, size);
	Session session;
	for (std::size_t call = 0; call < kMaxCallsPerInput && data.remaining_bytes() > 0; ++call)
		session.Step(data);
	return 0;
}
