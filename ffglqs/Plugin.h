// Plugin: the quick-start base for effects, sources and mixers written as a
// fragment-shader body plus typed parameters.
//
// An author derives from Effect, Source or Mixer, and in the constructor calls
// SetFragmentShader, adds parameters (AddParam, AddRGBColorParam,
// AddHueColorParam) and may Include shader snippets. The framework then:
// - registers every parameter with the host under its position in the list and
//   answers the host's parameter requests;
// - in InitGL, compiles the kind's vertex shader with a fragment shader made of
//   a fixed header, one uniform per parameter or colour group, the included
//   snippets and the body (CreateFragmentShader);
// - every frame, advances time and audio, uploads the standard uniforms
//   (time, deltaTime, frame, resolution, bpm, phase) and every parameter's
//   value under its own name, calls Update and Render, and consumes triggers.
// The hooks Init, Update and Clean are the author's.
//
// All operations run on the host's render thread with its GL context current.
#pragma once

#include "core/FFGLPlugin.h"
#include "ffglex/FFGLScreenQuad.h"
#include "ffglex/FFGLShader.h"
#include "ffglqs/Audio.h"
#include "ffglqs/Param.h"
#include "ffglqs/ParamFFT.h"
#include "ffglqs/ParamOption.h"
#include "ffglqs/ParamRange.h"
#include "ffglqs/ParamText.h"
#include "ffglqs/Random.h"
#include "ffglqs/ShaderSnippets.h"

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ffglqs
{
class Plugin : public CFFGLPlugin
{
public:
	explicit Plugin(bool supportTopLeftTextureOrientation);
	~Plugin() override;

	// Builds the shader program and the quad, then calls Init. Any failure runs
	// DeInitGL (and so Clean) and answers FF_FAIL; the viewport is stored only
	// on success, after Init.
	unsigned int InitGL(const FFGLViewportStructTag* viewport) override;
	// Frees the program and the quad, then calls Clean. Harmless when called
	// again, or after a failed InitGL.
	unsigned int DeInitGL() override;

	// The value with six decimals in a 16-byte field shared by all quick-start
	// instances (no terminator when 16 characters or more), valid until the
	// next display request; the FF_FAIL value for a text parameter or an
	// unknown index.
	char* GetParameterDisplay(unsigned int index) override;
	// Stores the value as sent (ranges in their own units); FF_FAIL for an
	// unknown index.
	unsigned int SetFloatParameter(unsigned int index, float value) override;
	// Text parameters only; a null text counts as empty. FF_FAIL otherwise.
	unsigned int SetTextParameter(unsigned int index, const char* value) override;
	// 0.0 for an unknown index.
	float GetFloatParameter(unsigned int index) override;
	// The parameter's own text, valid until it changes; the FF_FAIL value for
	// anything but a text parameter.
	char* GetTextParameter(unsigned int index) override;

	// One frame: time and audio, uniforms, Update, Render, triggers consumed.
	// Answers what Render answers; a rejected frame still does all the rest.
	unsigned int ProcessOpenGL(ProcessOpenGLStructTag* process) override;

	// Stores the rate and hands it to every audio analyser.
	void SetSampleRate(unsigned int sampleRate) override;

	// The author's hooks. Init runs at the end of InitGL with the program and
	// quad built (currentViewport does not yet hold the new viewport); a result
	// of FF_FAIL fails InitGL. Update runs every frame with the program bound
	// and the uniforms uploaded, before Render. Clean runs from DeInitGL and
	// must tolerate running twice in a row.
	virtual unsigned int Init();
	virtual void Update();
	// Draws one frame into the bound framebuffer. Here: the quad with the
	// program bound, reading nothing from the record (the source behaviour).
	virtual unsigned int Render(ProcessOpenGLStructTag* process);
	virtual void Clean();

	// Parameters. Each is registered under the next free index (its position
	// in the list) and appended; the dynamic class decides how it is
	// registered, whichever overload is called: ranges report their range and
	// their default in range units, options their choices by name with element
	// values 0, 1, 2, ..., texts their own text as the default, FFT parameters
	// a buffer of one element per bin with usage FFT (and get an analyser).
	void AddParam(std::shared_ptr<Param> param);
	void AddParam(std::shared_ptr<ParamRange> param);
	void AddParam(std::shared_ptr<ParamOption> param);
	void AddParam(std::shared_ptr<ParamFFT> param);
	// name (hue, 0), name_saturation (0), name_brightness (1), name_alpha (1):
	// one vec4 uniform called name, in RGB with alpha.
	void AddHueColorParam(std::string name);
	// name (red), name_green, name_blue, all 0.5: one vec3 uniform called name.
	void AddRGBColorParam(std::string name);

	// The first parameter with exactly this name; empty when there is none, or,
	// for the typed forms, when it is of another class.
	std::shared_ptr<Param> GetParam(const std::string& name) const;
	std::shared_ptr<ParamOption> GetParamOption(const std::string& name) const;
	std::shared_ptr<ParamText> GetParamText(const std::string& name) const;
	// Whether positions index.. hold a red, green, blue group (respectively a
	// hue, saturation, brightness, alpha group). False for a negative index and
	// for a group that would run past the end of the list.
	bool IsRGBColor(int index) const;
	bool IsHueColor(int index) const;

	// The audio analyser of an FFT parameter added to this plug-in; null for
	// any other parameter.
	const Audio* GetAudio(const std::shared_ptr<ParamFFT>& param) const;
	Audio* GetAudio(const std::shared_ptr<ParamFFT>& param);

	// Shader assembly; effective at the next InitGL, so called from the
	// constructor. Include adds a snippet and the snippets it depends on; each
	// is emitted once, in ascending id order.
	void Include(shader::snippet_id id);
	void Include(const std::set<shader::snippet_id>& ids);
	void SetFragmentShader(std::string body);
	// Header, kind's addition, uniform declarations, included snippets, body.
	std::string CreateFragmentShader(std::string body) const;

	// Uniform upload, with the shader's program bound: the six standard
	// uniforms, then every parameter under its own name (colour groups as one
	// vec3 or vec4 under the group's first name, booleans and events as ints,
	// FFT buffers not at all).
	void SendDefaultParams(ffglex::FFGLShader& target);
	void SendParams(ffglex::FFGLShader& target);

	// Advances frame, time and delta time to the clock reading now (seconds
	// since construction) and feeds every FFT parameter's bins, copied from the
	// host's buffer, to its analyser. ProcessOpenGL passes the monotonic clock.
	void UpdateAudioAndTime();
	void UpdateAudioAndTime(std::chrono::steady_clock::time_point now);

	// Sets every trigger parameter back to 0.
	void consumeAllTrigger();

protected:
	// The part of a host texture that holds the picture, as texture coordinates
	// (Width / HardwareWidth, Height / HardwareHeight, 1 for a hardware size of
	// 0): the kinds pass it to their vertex shaders so that only the picture is
	// sampled.
	static void MaxUV(const FFGLTextureStructTag& texture, float& u, float& v);
	// What makes a kind: the number of inputs (both the minimum and the
	// maximum), the declarations it appends to the fragment shader header and
	// its vertex shader. Each kind's constructor calls it once.
	void SetKind(unsigned int inputs, const char* headerAddition, const char* vertexShader);

	std::string fragmentShaderBody;
	std::vector<std::shared_ptr<Param>> params;
	std::map<std::shared_ptr<ParamFFT>, Audio> audioAnalysers;
	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
	// Seconds since construction as of the current frame, seconds since the
	// previous frame, and the previous frame's time.
	float time = 0.0f;
	float deltaTime = 0.0f;
	float lastTime = 0.0f;
	int frame = 0;
	std::chrono::steady_clock::time_point start;
	Random random;
	std::set<shader::snippet_id> includedSnippets;
	// Set by the kinds' constructors.
	std::string fragmentShaderHeader;
	std::string vertexShaderCode;

private:
	void RegisterParam(unsigned int index, const std::shared_ptr<Param>& param);
};

} // namespace ffglqs
