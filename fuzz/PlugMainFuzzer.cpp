// libFuzzer target: the fuzz input becomes a sequence of host calls on a
// plug-in module's plugMain, linked into this executable.
//
// Each call picks a function code (mostly 0..52, sometimes any 32-bit value),
// an instance handle (null, or one of the instances that code 18 gave and
// code 19 has not yet taken back) and an argument: a number, or a record that
// is either null or well formed with fuzzed contents (parameter and element
// numbers, float values including NaN and infinities, maxToWrite, event
// capacities, texture sizes and handles, viewports including 0 x 0). Frames run
// with a headless GL context current and a host framebuffer bound, as a host
// calls them. After each call the GL bindings must be back at their defaults.
// At the end of an input every live instance is deleted (code 19) and the
// module deinitialised (code 2), so a leak shows up as one.
//
// Out of scope, because no host passes them: dangling or random pointers,
// records shorter than their type, host buffers smaller than maxToWrite or
// than the event capacity, text pointers that are not zero-terminated, and a
// float where the parameter's type says text (the host asks the type first).
// Texture handles are GL names, not pointers: random ones are in scope.
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
#include <vector>

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
};

GLWorld* s_world = nullptr;

GLuint MakeTexture(GLsizei width, GLsizei height, std::uint8_t level)
{
	const std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, level);
	return ffgltool::CreateInputTexture(width, height, pixels.data(), GL_NEAREST);
}

[[noreturn]] void Fail(const std::string& message)
{
	std::fprintf(stderr, "PlugMainFuzzer: %s\n", message.c_str());
	std::abort();
}

GLint Integer(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

// The scope objects of the toolkit promise to leave these at their defaults;
// the host framebuffer stays bound.
void CheckBindings(std::uint32_t code)
{
	const struct
	{
		GLenum name;
		GLint expected;
		const char* what;
	} checks[] = {
		{ GL_CURRENT_PROGRAM, 0, "program" },
		{ GL_ACTIVE_TEXTURE, GL_TEXTURE0, "active texture unit" },
		{ GL_TEXTURE_BINDING_2D, 0, "2D texture" },
		{ GL_ARRAY_BUFFER_BINDING, 0, "array buffer" },
		{ GL_VERTEX_ARRAY_BINDING, 0, "vertex array" },
		{ GL_UNIFORM_BUFFER_BINDING, 0, "uniform buffer" },
		{ GL_RENDERBUFFER_BINDING, 0, "renderbuffer" },
		{ GL_DRAW_FRAMEBUFFER_BINDING, static_cast<GLint>(s_world->output.framebuffer), "draw framebuffer" },
		{ GL_READ_FRAMEBUFFER_BINDING, static_cast<GLint>(s_world->output.framebuffer), "read framebuffer" },
	};
	for (const auto& check : checks)
	{
		const GLint value = Integer(check.name);
		if (value != check.expected)
			Fail("code " + std::to_string(code) + " left the " + check.what + " binding at " + std::to_string(value) +
				" (expected " + std::to_string(check.expected) + ")");
	}
}

using FFGLMixed::FromPointer;
using FFGLMixed::FromUInt;

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
	FFGLViewportStructTag viewport;
	viewport.x = data.ConsumeBool() ? 0 : FuzzSize(data);
	viewport.y = data.ConsumeBool() ? 0 : FuzzSize(data);
	viewport.width = FuzzSize(data);
	viewport.height = FuzzSize(data);
	return viewport;
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
		FFGLTextureStructTag& texture = storage.textures[i];
		const bool plausible = data.ConsumeBool();
		texture.Width = plausible ? 16 : FuzzSize(data);
		texture.Height = plausible ? 16 : FuzzSize(data);
		texture.HardwareWidth = plausible ? 16 : FuzzSize(data);
		texture.HardwareHeight = plausible ? 16 : FuzzSize(data);
		texture.Handle = FuzzTextureHandle(data);
		storage.texturePointers[i] = &texture;
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
		{
			SetParameterElementValueStructTag& set = storage.record.setElement;
			set.ParameterNumber = FuzzIndex(data);
			set.ElementNumber = FuzzIndex(data);
			set.NewParameterValue = FFGLMixed::FromFloat(FuzzFloat(data));
			break;
		}
		case FF_GET_PARAMETER_ELEMENT_NAME:
		case FF_GET_PARAMETER_ELEMENT_VALUE:
		case FF_GET_FILE_PARAMETER_EXTENSION:
		case FF_GET_SEPARATOR_ELEMENT_INDEX:
			storage.record.element.ParameterNumber = FuzzIndex(data);
			storage.record.element.ElementNumber = FuzzIndex(data);
			break;
		case FF_GET_RANGE:
			storage.record.range.ParameterNumber = FuzzIndex(data);
			storage.record.range.min = FuzzFloat(data);
			storage.record.range.max = FuzzFloat(data);
			break;
		case FF_GET_PARAM_GROUP:
		case FF_GET_PARAM_DISPLAY_NAME:
		{
			GetStringStructTag& string = storage.record.string;
			string.ParameterNumber = FuzzIndex(data);
			string.stringBuffer.maxToWrite = data.ConsumeIntegralInRange<std::uint32_t>(0, kMaxHostBuffer);
			string.stringBuffer.address =
				data.ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : storage.Buffer(string.stringBuffer.maxToWrite);
			if (string.stringBuffer.address == nullptr)
				string.stringBuffer.maxToWrite = 0; // a null buffer has no room
			break;
		}
		case FF_GET_PARAMETER_EVENTS:
		{
			GetParamEventsStructTag& events = storage.record.events;
			if (data.ConsumeBool())
			{
				events.numEvents = data.ConsumeIntegral<std::uint32_t>();
				events.events = nullptr;
			}
			else
			{
				events.numEvents = data.ConsumeIntegralInRange<std::uint32_t>(0, 16);
				events.events = reinterpret_cast<ParamEventStructTag*>(
					storage.Buffer(sizeof(ParamEventStructTag) * events.numEvents));
			}
			break;
		}
		case FF_SET_BEATINFO:
			storage.record.beat.bpm = FuzzFloat(data);
			storage.record.beat.barPhase = FuzzFloat(data);
			break;
		case FF_SET_HOSTINFO:
			storage.record.hostInfo.hostName = storage.Text(data);
			storage.record.hostInfo.hostVersion = storage.Text(data);
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

		if (code == FF_INSTANTIATE_GL)
		{
			const std::uint64_t bits = FFGLMixed::AllBits(result);
			if (bits != 0 && bits != FF_FAIL)
			{
				if (instances.size() < kMaxInstances)
					instances.push_back(result.PointerValue);
				else
					Call(FF_DEINSTANTIATE_GL, FromUInt(0), result.PointerValue);
			}
		}
		else if (code == FF_DEINSTANTIATE_GL && instance != nullptr)
		{
			if (result.UIntValue != FF_SUCCESS)
				Fail("code 19 refused a live instance");
			instances.erase(instances.begin() + static_cast<std::ptrdiff_t>(slot));
		}
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
	world.textures[0] = MakeTexture(16, 16, 128);
	world.textures[1] = MakeTexture(1, 1, 0);
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
