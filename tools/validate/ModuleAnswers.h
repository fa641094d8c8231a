// ModuleAnswers: how the checks read what a module hands out, never trusting
// it: texts bounded and read through ModuleMemory, host buffers guarded by
// canary bytes, floats compared with NaN equal to NaN.
#pragma once

#include "host/FFGLRecords.h"
#include "tools/validate/ValidationReport.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace ffgltool::validate
{

// Bounds on texts read from the module: past these a text counts as
// unterminated.
constexpr std::size_t kMaxNameLength = 1024;
constexpr std::size_t kMaxLongTextLength = 64 * 1024;
// Fills the bytes of host memory a module may not write.
constexpr std::uint8_t kCanary = 0xA5;

// A text handed out by the module, read into read. Null, unreadable and
// unterminated texts are failures reported under what (a null one only when
// nullIsFailure). True when the text was read.
bool ReadModuleText(const char* text, std::size_t maxLength, const std::string& what, Findings& findings,
	std::string& read, bool nullIsFailure = true);

// A host buffer with canary bytes behind it, tried with room for 0, 1, 4 and
// 64 bytes: write must answer a status and stay within the room it was given.
void CheckHostBufferWrite(Findings& findings, const std::string& what,
	const std::function<std::uint32_t(char* buffer, std::uint32_t size)>& write);

FFMixed NullArgument();

// Slider-like types whose host-side value is a fraction 0..1.
bool IsUnitParamType(std::uint32_t type);

// Within tolerance, or both NaN.
bool SameFloat(float a, float b, float tolerance);

} // namespace ffgltool::validate
