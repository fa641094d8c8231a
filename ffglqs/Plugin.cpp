#include "ffglqs/Plugin.h"

#include "ffglex/FFGLScopedBindings.h"
#include "ffglex/FFGLUtilities.h"
#include "ffglqs/ParamTrigger.h"
#include "host/FFGLRecords.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace ffglqs
{
namespace
{
// What the host finds in place of a text when there is none: the FF_FAIL
// value, zero-extended, in the pointer-sized result.
char* FailText()
{
	return reinterpret_cast<char*>(static_cast<std::uintptr_t>(FF_FAIL));
}

const char* const kCommonHeader =
	"\n"
	"\t\t#version 410 core\n"
	"\t\tout vec4 fragColor;\n"
	"\t\tuniform vec2 resolution;\n"
	"\t\tuniform float time;\n"
	"\t\tuniform float deltaTime;\n"
	"\t\tuniform int frame;\n"
	"\t\tuniform float bpm;\n"
	"\t\tuniform float phase;\n"
	"\t";
} // namespace

Plugin::Plugin(bool supportTopLeftTextureOrientation) :
	CFFGLPlugin(supportTopLeftTextureOrientation),
	start(std::chrono::steady_clock::now()),
	fragmentShaderHeader(kCommonHeader)
{
}

Plugin::~Plugin() = default;

unsigned int Plugin::InitGL(const FFGLViewportStructTag* viewport)
{
	const std::string fragmentSource = CreateFragmentShader(fragmentShaderBody);
	if (!shader.Compile(vertexShaderCode, fragmentSource) || !quad.Initialise(false) || Init() == FF_FAIL)
	{
		// Through the virtual table, so that an author's override and Clean run
		// whatever step failed.
		DeInitGL();
		return FF_FAIL;
	}
	if (viewport != nullptr)
		currentViewport = *viewport;
	return FF_SUCCESS;
}

unsigned int Plugin::DeInitGL()
{
	shader.FreeGLResources();
	quad.Release();
	Clean();
	return FF_SUCCESS;
}

char* Plugin::GetParameterDisplay(unsigned int index)
{
	// One field for every quick-start instance: the text stays valid until the
	// next display request to any of them.
	static char displayValueBuffer[16];

	if (index >= params.size() || IsTextLikeParamType(params[index]->GetType()))
		return FailText();

	const std::string text = std::to_string(params[index]->GetValue());
	std::memset(displayValueBuffer, 0, sizeof(displayValueBuffer));
	std::memcpy(displayValueBuffer, text.data(), std::min(text.size(), sizeof(displayValueBuffer)));
	return displayValueBuffer;
}

unsigned int Plugin::SetFloatParameter(unsigned int index, float value)
{
	if (index >= params.size())
		return FF_FAIL;
	params[index]->SetValue(value);
	return FF_SUCCESS;
}

unsigned int Plugin::SetTextParameter(unsigned int index, const char* value)
{
	if (index >= params.size())
		return FF_FAIL;
	auto text = std::dynamic_pointer_cast<ParamText>(params[index]);
	if (!text)
		return FF_FAIL;
	text->SetText(value != nullptr ? std::string(value) : std::string());
	return FF_SUCCESS;
}

float Plugin::GetFloatParameter(unsigned int index)
{
	return index < params.size() ? params[index]->GetValue() : 0.0f;
}

char* Plugin::GetTextParameter(unsigned int index)
{
	if (index >= params.size())
		return FailText();
	auto text = std::dynamic_pointer_cast<ParamText>(params[index]);
	if (!text)
		return FailText();
	return const_cast<char*>(text->GetText().c_str());
}

unsigned int Plugin::ProcessOpenGL(ProcessOpenGLStructTag* process)
{
	UpdateAudioAndTime();

	ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
	SendDefaultParams(shader);
	SendParams(shader);
	Update();
	// Nothing below depends on the result: a rejected frame still consumes its
	// triggers, so a trigger never lasts longer than one frame.
	const unsigned int result = Render(process);
	consumeAllTrigger();
	shaderBinding.EndScope();
	return result;
}

void Plugin::SetSampleRate(unsigned int rate)
{
	CFFGLPlugin::SetSampleRate(rate);
	for (auto& entry : audioAnalysers)
		entry.second.SetSampleRate(static_cast<int>(rate));
}

unsigned int Plugin::Init()
{
	return FF_SUCCESS;
}

void Plugin::Update()
{
}

unsigned int Plugin::Render(ProcessOpenGLStructTag*)
{
	ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
	quad.Draw();
	return FF_SUCCESS;
}

void Plugin::Clean()
{
}

// ---------------------------------------------------------------------------
// Parameters

void Plugin::AddParam(std::shared_ptr<Param> param)
{
	if (!param)
		return;
	const unsigned int index = static_cast<unsigned int>(params.size());
	RegisterParam(index, param);
	params.push_back(std::move(param));
}

void Plugin::AddParam(std::shared_ptr<ParamRange> param)
{
	AddParam(std::shared_ptr<Param>(std::move(param)));
}

void Plugin::AddParam(std::shared_ptr<ParamOption> param)
{
	AddParam(std::shared_ptr<Param>(std::move(param)));
}

void Plugin::AddParam(std::shared_ptr<ParamFFT> param)
{
	AddParam(std::shared_ptr<Param>(std::move(param)));
}

void Plugin::RegisterParam(unsigned int index, const std::shared_ptr<Param>& param)
{
	const char* name = param->GetName().c_str();

	if (auto range = std::dynamic_pointer_cast<ParamRange>(param))
	{
		SetParamInfo(index, name, range->GetType(), range->GetValue());
		// The float form clamps a standard parameter's default into 0..1; the
		// host must see the default in the range's own units.
		if (ParamInfo* info = FindParamInfo(index))
			info->defaultFloatValue = range->GetValue();
		SetParamRange(index, range->GetRange().min, range->GetRange().max);
		return;
	}

	if (auto option = std::dynamic_pointer_cast<ParamOption>(param))
	{
		const auto& options = option->GetOptions();
		SetOptionParamInfo(index, name, static_cast<unsigned int>(options.size()), option->GetValue());
		for (std::size_t i = 0; i < options.size(); ++i)
			SetParamElementInfo(index, static_cast<unsigned int>(i), options[i].name.c_str(), static_cast<float>(i));
		return;
	}

	if (auto fft = std::dynamic_pointer_cast<ParamFFT>(param))
	{
		audioAnalysers.emplace(fft, Audio());
		fft->index = index;
		SetBufferParamInfo(index, name, static_cast<unsigned int>(fft->fftData.size()), FF_USAGE_FFT);
		return;
	}

	if (auto text = std::dynamic_pointer_cast<ParamText>(param))
	{
		// Registered with its own text: the host shows it as the default, and
		// instantiation pushes it back into the new instance instead of
		// emptying it.
		SetParamInfo(index, name, text->GetType(), text->GetText().c_str());
		return;
	}

	SetParamInfo(index, name, param->GetType(), param->GetValue());
}

void Plugin::AddHueColorParam(std::string name)
{
	AddParam(Param::Create(name, FF_TYPE_HUE, 0.0f));
	AddParam(Param::Create(name + "_saturation", FF_TYPE_SATURATION, 0.0f));
	AddParam(Param::Create(name + "_brightness", FF_TYPE_BRIGHTNESS, 1.0f));
	AddParam(Param::Create(name + "_alpha", FF_TYPE_ALPHA, 1.0f));
}

void Plugin::AddRGBColorParam(std::string name)
{
	AddParam(Param::Create(name, FF_TYPE_RED, 0.5f));
	AddParam(Param::Create(name + "_green", FF_TYPE_GREEN, 0.5f));
	AddParam(Param::Create(name + "_blue", FF_TYPE_BLUE, 0.5f));
}

std::shared_ptr<Param> Plugin::GetParam(const std::string& name) const
{
	for (const auto& param : params)
	{
		if (param->GetName() == name)
			return param;
	}
	return nullptr;
}

std::shared_ptr<ParamOption> Plugin::GetParamOption(const std::string& name) const
{
	return std::dynamic_pointer_cast<ParamOption>(GetParam(name));
}

std::shared_ptr<ParamText> Plugin::GetParamText(const std::string& name) const
{
	return std::dynamic_pointer_cast<ParamText>(GetParam(name));
}

namespace
{
// Whether params[index ...] carries exactly the given types, in order.
bool HasTypeRun(const std::vector<std::shared_ptr<Param>>& params, int index, std::initializer_list<unsigned int> types)
{
	if (index < 0)
		return false;
	const std::size_t first = static_cast<std::size_t>(index);
	if (first + types.size() > params.size())
		return false;
	std::size_t position = first;
	for (unsigned int type : types)
	{
		if (params[position++]->GetType() != type)
			return false;
	}
	return true;
}
} // namespace

bool Plugin::IsRGBColor(int index) const
{
	return HasTypeRun(params, index, { FF_TYPE_RED, FF_TYPE_GREEN, FF_TYPE_BLUE });
}

bool Plugin::IsHueColor(int index) const
{
	return HasTypeRun(params, index, { FF_TYPE_HUE, FF_TYPE_SATURATION, FF_TYPE_BRIGHTNESS, FF_TYPE_ALPHA });
}

const Audio* Plugin::GetAudio(const std::shared_ptr<ParamFFT>& param) const
{
	auto found = audioAnalysers.find(param);
	return found != audioAnalysers.end() ? &found->second : nullptr;
}

Audio* Plugin::GetAudio(const std::shared_ptr<ParamFFT>& param)
{
	auto found = audioAnalysers.find(param);
	return found != audioAnalysers.end() ? &found->second : nullptr;
}

// ---------------------------------------------------------------------------
// Shader assembly and uniform upload

void Plugin::Include(shader::snippet_id id)
{
	if (!includedSnippets.insert(id).second)
		return;
	auto dependency = shader::dependencies.find(id);
	if (dependency != shader::dependencies.end())
		includedSnippets.insert(dependency->second.begin(), dependency->second.end());
}

void Plugin::Include(const std::set<shader::snippet_id>& ids)
{
	for (shader::snippet_id id : ids)
		Include(id);
}

void Plugin::SetFragmentShader(std::string body)
{
	fragmentShaderBody = std::move(body);
}

std::string Plugin::CreateFragmentShader(std::string body) const
{
	std::string source = fragmentShaderHeader;

	const int count = static_cast<int>(params.size());
	for (int i = 0; i < count;)
	{
		const std::string& name = params[i]->GetName();
		if (IsRGBColor(i))
		{
			source += "uniform vec3 " + name + ";\n";
			i += 3;
			continue;
		}
		if (IsHueColor(i))
		{
			source += "uniform vec4 " + name + ";\n";
			i += 4;
			continue;
		}
		switch (params[i]->GetType())
		{
		case FF_TYPE_BOOLEAN:
		case FF_TYPE_EVENT:
			source += "uniform bool " + name + ";\n";
			break;
		case FF_TYPE_BUFFER:
			break;
		default:
			source += "uniform float " + name + ";\n";
			break;
		}
		++i;
	}

	for (shader::snippet_id id : includedSnippets)
	{
		auto snippet = shader::snippets.find(id);
		if (snippet != shader::snippets.end())
			source += snippet->second;
	}

	source += body;
	return source;
}

void Plugin::SendDefaultParams(ffglex::FFGLShader& target)
{
	target.Set("time", time);
	target.Set("deltaTime", deltaTime);
	target.Set("frame", frame);
	target.Set("resolution", static_cast<float>(currentViewport.width), static_cast<float>(currentViewport.height));
	target.Set("bpm", bpm);
	target.Set("phase", barPhase);
}

void Plugin::SendParams(ffglex::FFGLShader& target)
{
	for (int i = 0; i < static_cast<int>(params.size()); ++i)
	{
		if (IsRGBColor(i))
		{
			target.Set(params[i]->GetName().c_str(), params[i]->GetValue(), params[i + 1]->GetValue(),
				params[i + 2]->GetValue());
			i += 2;
		}
		else if (IsHueColor(i))
		{
			// Hue 1 is the same colour as hue 0; the conversion does not wrap it.
			float hue = params[i]->GetValue();
			if (hue == 1.0f)
				hue = 0.0f;
			float r = 0.0f;
			float g = 0.0f;
			float b = 0.0f;
			ffglex::HSVtoRGB(hue, params[i + 1]->GetValue(), params[i + 2]->GetValue(), r, g, b);
			target.Set(params[i]->GetName().c_str(), r, g, b, params[i + 3]->GetValue());
			i += 3;
		}

		// After a group this is its last component, written once more under its
		// own name: a body may declare it as a float of its own.
		const Param& param = *params[i];
		switch (param.GetType())
		{
		case FF_TYPE_BOOLEAN:
		case FF_TYPE_EVENT:
			target.Set(param.GetName().c_str(), param.GetValue() != 0.0f ? 1 : 0);
			break;
		case FF_TYPE_BUFFER:
			break;
		default:
			target.Set(param.GetName().c_str(), param.GetValue());
			break;
		}
	}
}

// ---------------------------------------------------------------------------
// Time and audio

void Plugin::UpdateAudioAndTime()
{
	UpdateAudioAndTime(std::chrono::steady_clock::now());
}

void Plugin::UpdateAudioAndTime(std::chrono::steady_clock::time_point now)
{
	++frame;
	const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now - start).count();
	const float seconds = static_cast<float>(nanoseconds) / 1000000.0f / 1000.0f;
	deltaTime = seconds - lastTime;
	time = seconds;
	lastTime = seconds;

	for (auto& entry : audioAnalysers)
	{
		ParamFFT& fft = *entry.first;
		if (const ParamInfo* info = FindParamInfo(fft.index))
		{
			// The record was made with one element per bin; a shorter one (an
			// index registered twice) only fills what it has.
			const std::size_t count = std::min(fft.fftData.size(), info->elements.size());
			for (std::size_t i = 0; i < count; ++i)
				fft.fftData[i] = info->elements[i].value;
		}
		entry.second.Update(fft.fftData);
	}
}

void Plugin::consumeAllTrigger()
{
	// By index, with the size read again at each step.
	for (std::size_t i = 0; i < params.size(); ++i)
	{
		if (auto trigger = std::dynamic_pointer_cast<ParamTrigger>(params[i]))
			trigger->Consume();
	}
}

void Plugin::MaxUV(const FFGLTextureStructTag& texture, float& u, float& v)
{
	// A hardware size of 0 is a malformed record: the whole texture is taken,
	// rather than handing the shader an infinite or NaN coordinate.
	const auto fraction = [](std::uint32_t picture, std::uint32_t hardware)
	{ return hardware != 0 ? static_cast<float>(picture) / static_cast<float>(hardware) : 1.0f; };
	u = fraction(texture.Width, texture.HardwareWidth);
	v = fraction(texture.Height, texture.HardwareHeight);
}

void Plugin::SetKind(unsigned int inputs, const char* headerAddition, const char* vertexShader)
{
	SetMinInputs(inputs);
	SetMaxInputs(inputs);
	fragmentShaderHeader += headerAddition;
	vertexShaderCode = vertexShader;
}

} // namespace ffglqs
