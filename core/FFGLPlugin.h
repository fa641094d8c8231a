// CFFGLPlugin: the base class of every plug-in instance a host creates.
//
// On top of its parameter registry it holds the state the host pushes in
// (viewport, time, tempo, host name and version, sample rate) and declares the
// virtual operations through which plugMain forwards every instance call. The
// slot order of the virtual operations is fixed; derived classes override them
// in place. Every operation runs on the host's render thread with the host's GL
// context current.
#pragma once

#include "core/FFGLPluginManager.h"
#include "host/FFGLRecords.h"

#include <string>

class CFFGLPlugin : public CFFGLPluginManager
{
public:
	explicit CFFGLPlugin(bool supportTopLeftTextureOrientation);
	~CFFGLPlugin() override;

	// The host's viewport for this instance; the record is copied. The default
	// stores it in currentViewport (FF_FAIL for a null record). A result other
	// than FF_SUCCESS makes the host's instantiation fail (DeInitGL then runs
	// before deletion).
	virtual unsigned int InitGL(const FFGLViewportStructTag* viewport);
	// Releases what InitGL created; must be harmless after a failed or missing
	// InitGL and when called twice.
	virtual unsigned int DeInitGL();
	// The display text of a parameter, owned by the plug-in and valid until the
	// next display call; null for an unknown index. The default renders the float
	// value with six decimals into a 16-byte field shared by all instances.
	virtual char* GetParameterDisplay(unsigned int index);
	// Defaults fail: a plug-in that registers parameters must override them.
	virtual unsigned int SetFloatParameter(unsigned int index, float value);
	virtual unsigned int SetTextParameter(unsigned int index, const char* value);
	virtual float GetFloatParameter(unsigned int index);
	// The default answers the FF_FAIL value in place of a text.
	virtual char* GetTextParameter(unsigned int index);
	// One frame into the framebuffer the host has bound. The default fails.
	virtual unsigned int ProcessOpenGL(ProcessOpenGLStructTag* process);
	virtual unsigned int SetTime(double time);
	virtual void SetBeatInfo(float bpm, float barPhase);
	// Both texts are copied; a null text is taken as empty.
	virtual void SetHostInfo(const char* hostName, const char* hostVersion);
	virtual void SetSampleRate(unsigned int sampleRate);
	// 1 for an input index below GetMaxInputs(), else FF_FAIL.
	virtual unsigned int GetInputStatus(unsigned int inputIndex);
	// Null: no short name.
	virtual char* GetShortName();
	virtual unsigned int Connect();
	virtual unsigned int Disconnect();
	// The default stores the record in currentViewport (FF_FAIL for null).
	virtual unsigned int Resize(const FFGLViewportStructTag* viewport);

	// Read and written by the entry point: connected once Connect succeeded (or
	// before the first frame); selfPlugin is the instance itself, set right after
	// the factory made it.
	bool connected = false;
	CFFGLPlugin* selfPlugin = nullptr;

	FFGLViewportStructTag currentViewport = {};
	float bpm = 120.0f;
	float barPhase = 0.0f;
	std::string hostName;
	std::string hostVersion;
	double hostTime = 0.0;
	unsigned int sampleRate = 0;
};
