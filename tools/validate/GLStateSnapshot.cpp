#include "tools/validate/GLStateSnapshot.h"

#include "ffglex/FFGLGL.h"

namespace ffgltool::validate
{
namespace
{

GLint Integer(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

struct Named
{
	const char* what;
	GLenum name;
};

const Named kBindings[] = { { "array buffer", GL_ARRAY_BUFFER_BINDING },
	{ "uniform buffer", GL_UNIFORM_BUFFER_BINDING }, { "pixel pack buffer", GL_PIXEL_PACK_BUFFER_BINDING },
	{ "pixel unpack buffer", GL_PIXEL_UNPACK_BUFFER_BINDING }, { "vertex array", GL_VERTEX_ARRAY_BINDING },
	{ "renderbuffer", GL_RENDERBUFFER_BINDING }, { "draw framebuffer", GL_DRAW_FRAMEBUFFER_BINDING },
	{ "read framebuffer", GL_READ_FRAMEBUFFER_BINDING } };
const Named kEnables[] = { { "GL_BLEND", GL_BLEND }, { "GL_DEPTH_TEST", GL_DEPTH_TEST },
	{ "GL_SCISSOR_TEST", GL_SCISSOR_TEST }, { "GL_STENCIL_TEST", GL_STENCIL_TEST }, { "GL_CULL_FACE", GL_CULL_FACE } };

} // namespace

GLStateSnapshot GLStateSnapshot::Read()
{
	GLStateSnapshot state;
	auto add = [&state](const std::string& what, GLint value) { state.values.emplace_back(what, value); };
	add("program", Integer(GL_CURRENT_PROGRAM));
	add("active texture unit", Integer(GL_ACTIVE_TEXTURE) - GL_TEXTURE0);
	const GLint active = Integer(GL_ACTIVE_TEXTURE);
	for (GLint unit = 0; unit < 8; ++unit)
	{
		glActiveTexture(GL_TEXTURE0 + unit);
		add("2D texture on unit " + std::to_string(unit), Integer(GL_TEXTURE_BINDING_2D));
		add("sampler on unit " + std::to_string(unit), Integer(GL_SAMPLER_BINDING));
	}
	glActiveTexture(static_cast<GLenum>(active));
	for (const Named& binding : kBindings)
		add(binding.what, Integer(binding.name));
	for (const Named& capability : kEnables)
		add(capability.what, glIsEnabled(capability.name));
	GLint viewport[4] = { 0, 0, 0, 0 };
	glGetIntegerv(GL_VIEWPORT, viewport);
	add("viewport x", viewport[0]);
	add("viewport y", viewport[1]);
	add("viewport width", viewport[2]);
	add("viewport height", viewport[3]);
	add("pack alignment", Integer(GL_PACK_ALIGNMENT));
	add("unpack alignment", Integer(GL_UNPACK_ALIGNMENT));
	return state;
}

std::string GLStateSnapshot::DifferenceFrom(const GLStateSnapshot& before) const
{
	for (std::size_t i = 0; i < values.size() && i < before.values.size(); ++i)
		if (values[i].second != before.values[i].second)
			return values[i].first + " is " + std::to_string(values[i].second) + ", was " +
				std::to_string(before.values[i].second);
	return {};
}

} // namespace ffgltool::validate
