// FrameRig: the host's side of the instance and frame checks, on the headless
// context: a 64x64 host framebuffer, two input textures of flat grey, and
// frames run against them with the GL state compared before and after.
//
// Create and Release need the context current; Release deletes what Create
// made. A frame's GL state changes collect in GLStateFindings() over every
// frame the rig runs, for one "gl-state" record.
#pragma once

#include "ffglex/FFGLGL.h"
#include "host/FFGLRecords.h"
#include "support/HeadlessGL.h"
#include "tools/PluginModule.h"
#include "tools/validate/ValidationReport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ffgltool::validate
{

// One frame's inputs, pointing at the rig's textures. The pointers may be
// changed (nulled) before the record is used.
struct FrameInputs
{
	std::vector<FFGLTextureStructTag> textures;
	std::vector<FFGLTextureStructTag*> pointers;
	ProcessOpenGLStructTag record{};
};

class FrameRig
{
public:
	static constexpr GLint kFrameSize = 64;
	static constexpr FFGLViewportStructTag kViewport{ 0, 0, kFrameSize, kFrameSize };

	// False when the context gives no host framebuffer.
	bool Create(HeadlessGL& gl);
	void Release();

	void BindOutput() const { HeadlessGL::BindHostFramebuffer(output); }
	// numInputs inputs, alternating between the two textures.
	FrameInputs Inputs(std::uint32_t numInputs) const;
	// Fills the host framebuffer with a marker colour, runs code 17 and notes a
	// GL state left changed after `what`. Answers code 17's result; untouched
	// tells whether every pixel still holds the marker.
	std::uint32_t Frame(const PluginModule& module, void* instance, ProcessOpenGLStructTag& record,
		const std::string& what, bool& untouched);
	// Code 19 with the host framebuffer bound, as a host calls it.
	std::uint32_t DeInstantiate(const PluginModule& module, void* instance) const;

	Findings& GLStateFindings() { return stateFindings; }

private:
	HeadlessGL::Framebuffer output;
	GLuint inputTextures[2] = { 0, 0 };
	Findings stateFindings;
};

} // namespace ffgltool::validate
