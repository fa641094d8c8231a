#include "tools/validate/FrameRig.h"

#include "tools/HostTexture.h"
#include "tools/validate/GLStateSnapshot.h"

#include <algorithm>
#include <array>

namespace ffgltool::validate
{
namespace
{

// Painted into the host framebuffer before a frame that must draw nothing.
constexpr std::array<std::uint8_t, 4> kMarker{ 12, 34, 56, 78 };

GLuint MakeInputTexture(std::uint8_t level)
{
	const std::vector<std::uint8_t> pixels(
		static_cast<std::size_t>(FrameRig::kFrameSize) * FrameRig::kFrameSize * 4, level);
	return CreateInputTexture(FrameRig::kFrameSize, FrameRig::kFrameSize, pixels.data(), GL_NEAREST);
}

} // namespace

bool FrameRig::Create(HeadlessGL& gl)
{
	output = gl.CreateHostFramebuffer(kFrameSize, kFrameSize);
	if (!output.IsValid())
		return false;
	inputTextures[0] = MakeInputTexture(96);
	inputTextures[1] = MakeInputTexture(200);
	return true;
}

void FrameRig::Release()
{
	glDeleteTextures(2, inputTextures);
	HeadlessGL::DeleteHostFramebuffer(output);
}

FrameInputs FrameRig::Inputs(std::uint32_t numInputs) const
{
	FrameInputs inputs;
	inputs.textures.resize(numInputs);
	for (std::uint32_t t = 0; t < numInputs; ++t)
		inputs.textures[t] =
			FFGLTextureStructTag{ kFrameSize, kFrameSize, kFrameSize, kFrameSize, inputTextures[t % 2] };
	for (FFGLTextureStructTag& texture : inputs.textures)
		inputs.pointers.push_back(&texture);
	inputs.record.numInputTextures = numInputs;
	inputs.record.inputTextures = numInputs > 0 ? inputs.pointers.data() : nullptr;
	inputs.record.HostFBO = output.framebuffer;
	return inputs;
}

std::uint32_t FrameRig::Frame(const PluginModule& module, void* instance, ProcessOpenGLStructTag& record,
	const std::string& what, bool& untouched)
{
	BindOutput();
	glClearColor(kMarker[0] / 255.0f, kMarker[1] / 255.0f, kMarker[2] / 255.0f, kMarker[3] / 255.0f);
	glClear(GL_COLOR_BUFFER_BIT);
	glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
	const GLStateSnapshot before = GLStateSnapshot::Read();
	const std::uint32_t result = module.ProcessOpenGL(instance, record);
	const std::string changed = GLStateSnapshot::Read().DifferenceFrom(before);
	if (!changed.empty())
		stateFindings.Fail("after " + what + ": " + changed);

	BindOutput();
	std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kFrameSize) * kFrameSize * 4);
	glReadPixels(0, 0, kFrameSize, kFrameSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	untouched = true;
	for (std::size_t p = 0; p < pixels.size(); p += 4)
		if (!std::equal(kMarker.begin(), kMarker.end(), pixels.begin() + static_cast<std::ptrdiff_t>(p)))
		{
			untouched = false;
			break;
		}
	return result;
}

std::uint32_t FrameRig::DeInstantiate(const PluginModule& module, void* instance) const
{
	BindOutput();
	return module.DeInstantiate(instance);
}

} // namespace ffgltool::validate
