// The global functions behind plugMain: one per host request that needs more
// than a single virtual call on an instance.
//
// These functions are the only code that changes an instance's connected flag:
// the implicit connect before the first frame, the implicit disconnect on
// deletion, and the host's explicit connect and disconnect.
//
// Global queries are answered from a prototype instance that these functions
// make on demand through the registered factory and own until deInitialise.
// The prototype never gets InitGL, frames, parameter values or host state.
// Instances are owned by the host from instantiateGL to deInstantiateGL; the
// handle is the instance pointer itself. Every function runs on the host's
// thread, one call at a time; none takes a lock.
//
// Failures are reported as the result the host expects for the request
// (FF_FAIL, or null for texts); only memory exhaustion or an exception thrown
// by plug-in code passes out, and plugMain turns that into the failure value.
#pragma once

#include "host/FFGLRecords.h"

#include <string>

class CFFGLPlugin;

// Identity records of the registration (codes 0 and 13); null when nothing is
// registered. Owned by the registration, valid while the module is loaded.
PluginInfoStructTag* getInfo();
PluginExtendedInfoStructTag* getExtendedInfo();

// Runs the registration's initialise method, then makes the prototype if there
// is none yet. Does no GL work.
unsigned int initialise();
// Deletes the prototype and runs the registration's deinitialise method.
// Instances the host still holds are left alone.
unsigned int deInitialise();
// FF_SUPPORTED / FF_UNSUPPORTED, an input count, or FF_FAIL without prototype.
unsigned int getPluginCaps(unsigned int capability);

// Prototype queries. Each makes the prototype when needed; without one it
// gives the failure value of its host request. Returned texts belong to the
// prototype and stay valid until the next deInitialise.
unsigned int getNumParameters();
const char* getParameterName(unsigned int number);
FFMixed getParameterDefault(unsigned int number);
unsigned int getParameterType(unsigned int number);
unsigned int getParameterUsage(unsigned int number);
char* getPluginShortName();
unsigned int getParamRange(GetRangeStructTag* range);
unsigned int getParamGroup(GetStringStructTag* request);
unsigned int getNumFileParameterExtensions(unsigned int number);
const char* getFileParameterExtension(unsigned int number, unsigned int index);
unsigned int getDefaultParameterVisibility(unsigned int number);
unsigned int GetNumElementSeparators(unsigned int number);
unsigned int GetElementSeparatorElementIndex(unsigned int number, unsigned int index);

// Queries on the given instance, or on the prototype when it is null.
unsigned int getNumParameterElements(unsigned int number, CFFGLPlugin* instance);
const char* getParameterElementName(unsigned int number, unsigned int element, CFFGLPlugin* instance);
unsigned int getParameterElementValue(unsigned int number, unsigned int element, CFFGLPlugin* instance);

// Makes an instance, pushes every default of the prototype into it and runs its
// InitGL. The result holds the instance pointer, which the host owns until
// deInstantiateGL, or FF_FAIL as a 32-bit value (never a null pointer).
FFMixed instantiateGL(const FFGLViewportStructTag* viewport);
// One frame; the first frame of an instance connects it.
unsigned int processGL(CFFGLPlugin* instance, ProcessOpenGLStructTag* record);
// The host's explicit connect and disconnect (codes 21 and 22): the instance's
// Connect or Disconnect result, and connected changes only on FF_SUCCESS.
unsigned int connectInstance(CFFGLPlugin* instance);
unsigned int disconnectInstance(CFFGLPlugin* instance);
// Disconnects when connected, runs DeInitGL and deletes the instance.
unsigned int deInstantiateGL(CFFGLPlugin* instance);

// Writes the instance's display name of a parameter into the host's buffer.
unsigned int getParamDisplayName(CFFGLPlugin* instance, GetStringStructTag* request);
// Size and pixels of the registered thumbnail; FF_FAIL and 0 x 0 without one.
unsigned int getThumbnail(GetThumbnailStructTag* thumbnail);

// Copies the first min(length, maxToWrite) bytes of text into the host's
// buffer, with no terminator; the rest of the buffer is left as it was.
// FF_FAIL for a null buffer record, a null address or maxToWrite 0.
unsigned int writeStringToHostBuffer(const std::string& text, StringBufferStructTag* buffer);
