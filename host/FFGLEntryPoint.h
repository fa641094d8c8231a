// The symbols a host looks up in a plug-in module. They are the module's only
// exports; everything else has hidden visibility.
#pragma once

#include "host/FFGLExport.h"
#include "host/FFGLLog.h"
#include "host/FFGLRecords.h"

// The host's one way in. functionCode selects the request; input carries a
// number (low 32 bits) or a pointer to the request's record; instance is the
// handle code 18 returned, or null for global requests. 32-bit results come
// back with the upper half zero. Never throws: every failure, memory
// exhaustion included, gives the request's failure value.
FFGL_EXPORT FFMixed plugMain(std::uint32_t functionCode, FFMixed input, void* instance);

// Installs the host's log function (null removes it); see FFGLLog.
FFGL_EXPORT void SetLogCallback(FFGLLog::LogCallback callback);

// Kept for hosts that look them up; nothing in the plug-in calls them.
FFGL_EXPORT bool InitGLExts();
FFGL_EXPORT void ValidateContextState();
