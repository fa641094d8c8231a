// PluginModule: one plug-in module loaded the way a host application loads it.
//
// It opens the module with dlopen, looks up plugMain and calls it with the
// function codes and records of host/FFGLRecords.h, one typed operation per
// code. The wrappers pass the module's answers on unchanged, pointers
// included: whatever a module returns is untrusted, and callers read texts and
// records through ModuleMemory.h. Instance handles are the opaque pointers that
// code 18 returns; the host owns each from Instantiate to DeInstantiate.
//
// Like a host, this class makes one call at a time and no GL context current:
// a caller that drives instances (codes 17 to 19) makes its context current
// before calling.
#pragma once

#include "host/FFGLRecords.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ffgltool
{

// An exception escaped plugMain. A module must never let one out; the host
// reports it and gives up on the module.
class PluginFault : public std::runtime_error
{
public:
	explicit PluginFault(std::uint32_t functionCode);
	std::uint32_t GetFunctionCode() const { return functionCode; }

private:
	std::uint32_t functionCode;
};

class PluginModule
{
public:
	// The log function a host installs through SetLogCallback.
	using LogCallback = void (*)(const char* message);

	// What CodeInFlight() answers outside any call into the module, and while
	// the module runs other than through plugMain (its static initialisers and
	// destructors, SetLogCallback).
	static constexpr int kNoCall = -1;
	static constexpr int kOutsidePlugMain = -2;

	PluginModule() = default;
	~PluginModule();
	PluginModule(const PluginModule&) = delete;
	PluginModule& operator=(const PluginModule&) = delete;

	// Loads the module file at path (resolving symbols now, keeping them local
	// to the module) and looks up plugMain. A path without a slash names a file
	// in the working directory, not a library on the search path. On failure
	// returns false, sets error to one line and leaves nothing loaded.
	bool Load(const std::string& path, std::string& error);

	// Unloads the module; harmless when nothing is loaded. The caller has
	// deleted its instances (code 19) and normally sent code 2 first. Every
	// pointer obtained from the module dangles afterwards.
	void Unload();

	bool IsLoaded() const { return plugMain != nullptr; }
	const std::string& GetPath() const { return path; }

	// Address of another exported symbol of the loaded module, or null.
	void* FindSymbol(const char* name) const;

	// Installs the module's host log callback. False when the module does not
	// export SetLogCallback.
	bool SetLogCallback(LogCallback callback) const;

	// The raw call. Requires a loaded module. Throws PluginFault when an
	// exception leaves plugMain.
	FFMixed Call(std::uint32_t functionCode, FFMixed input, void* instance) const;
	// The same, keeping the low 32 bits of the result (UIntValue).
	std::uint32_t CallForCode(std::uint32_t functionCode, FFMixed input, void* instance) const;

	// The function code being answered by plugMain right now, or kNoCall, or
	// kOutsidePlugMain. Safe to read from a signal handler.
	static int CodeInFlight();

	// --- Global queries (no instance). Results as plugMain gives them. ---
	const PluginInfoStructTag* GetInfo() const;                 // 0
	const PluginExtendedInfoStructTag* GetExtendedInfo() const; // 13
	// Code 0 with the record copied out of the module's memory. False, with a
	// one-line error, when the module answers null or an unreadable pointer.
	bool CopyInfo(PluginInfoStructTag& info, std::string& error) const;
	std::uint32_t Initialise() const;                        // 34
	std::uint32_t DeInitialise() const;                      // 2
	std::uint32_t GetNumParameters() const;                  // 4
	const char* GetParameterName(std::uint32_t index) const; // 5
	// Text-like types: PointerValue; others: the float's bits in UIntValue.
	FFMixed GetParameterDefault(std::uint32_t index) const;      // 6
	std::uint32_t GetParameterType(std::uint32_t index) const;   // 15
	std::uint32_t GetParameterUsage(std::uint32_t index) const;  // 32
	std::uint32_t GetPluginCaps(std::uint32_t capability) const; // 10
	const char* GetPluginShortName() const;                      // 33
	// Fills min and max only when the answer is FF_SUCCESS.
	std::uint32_t GetParamRange(std::uint32_t index, float& min, float& max) const;                    // 41
	std::uint32_t GetThumbnail(GetThumbnailStructTag& record) const;                                   // 42
	std::uint32_t GetNumFileParameterExtensions(std::uint32_t index) const;                            // 43
	const char* GetFileParameterExtension(std::uint32_t index, std::uint32_t extension) const;         // 44
	std::uint32_t GetNumElementSeparators(std::uint32_t index) const;                                  // 47
	std::uint32_t GetElementSeparatorElementIndex(std::uint32_t index, std::uint32_t separator) const; // 48
	// Writes at most maxToWrite bytes into buffer, with no terminator.
	std::uint32_t GetParamGroup(std::uint32_t index, char* buffer, std::uint32_t maxToWrite) const; // 50

	// --- Queries that take an instance or, with null, the module's defaults. ---
	std::uint32_t GetNumParameterElements(std::uint32_t index, void* instance = nullptr) const; // 31
	const char* GetParameterElementName(
		std::uint32_t index, std::uint32_t element, void* instance = nullptr) const; // 35
	std::uint32_t GetParameterElementValue(
		std::uint32_t index, std::uint32_t element, void* instance = nullptr) const;           // 36, float bits
	std::uint32_t GetParameterVisibility(std::uint32_t index, void* instance = nullptr) const; // 45

	// --- Instances. ---
	// Creates an instance for a viewport. Null when the module refuses (it
	// answers FF_FAIL, or a null pointer).
	void* Instantiate(const FFGLViewportStructTag& viewport) const;                   // 18
	std::uint32_t DeInstantiate(void* instance) const;                                // 19
	std::uint32_t ProcessOpenGL(void* instance, ProcessOpenGLStructTag& frame) const; // 17
	// The text stays owned by the instance, valid until its next display call.
	const char* GetParameterDisplay(void* instance, std::uint32_t index) const;                   // 7
	std::uint32_t SetFloatParameter(void* instance, std::uint32_t index, float value) const;      // 8
	std::uint32_t SetTextParameter(void* instance, std::uint32_t index, const char* value) const; // 8
	// Text-like types: PointerValue; others: the float's bits in UIntValue.
	FFMixed GetParameter(void* instance, std::uint32_t index) const;                   // 9
	std::uint32_t GetInputStatus(void* instance, std::uint32_t input) const;           // 16
	std::uint32_t SetTime(void* instance, double seconds) const;                       // 20
	std::uint32_t Connect(void* instance) const;                                       // 21
	std::uint32_t Disconnect(void* instance) const;                                    // 22
	std::uint32_t Resize(void* instance, const FFGLViewportStructTag& viewport) const; // 23
	std::uint32_t SetParameterElementValue(
		void* instance, std::uint32_t index, std::uint32_t element, float value) const;     // 37
	std::uint32_t SetBeatInfo(void* instance, float bpm, float barPhase) const;             // 38
	std::uint32_t SetHostInfo(void* instance, const char* name, const char* version) const; // 39
	std::uint32_t SetSampleRate(void* instance, std::uint32_t rate) const;                  // 40
	std::uint32_t GetParamEvents(void* instance, GetParamEventsStructTag& record) const;    // 46
	std::uint32_t EnablePluginCap(void* instance, std::uint32_t capability) const;          // 49
	// Writes at most maxToWrite bytes into buffer, with no terminator.
	std::uint32_t GetParamDisplayName(
		void* instance, std::uint32_t index, char* buffer, std::uint32_t maxToWrite) const; // 51

	// The float whose bit pattern a 32-bit answer carries.
	static float FloatFromBits(std::uint32_t bits);

private:
	void* handle = nullptr;
	FF_Main_FuncPtr plugMain = nullptr;
	std::string path;
};

} // namespace ffgltool
