#include "tools/LeakProbes.h"

#include "ffglex/FFGLGL.h"

#include <dirent.h>

#include <algorithm>
#include <utility>

namespace ffgltool
{

GLObjectCounts GLObjectCounts::Read()
{
	// A name just handed out, of each kind, bounds the names in use.
	GLuint highest = 0;
	GLuint name = glCreateShader(GL_VERTEX_SHADER);
	highest = std::max(highest, name);
	glDeleteShader(name);
	name = glCreateProgram();
	highest = std::max(highest, name);
	glDeleteProgram(name);
	using Generate = void (*)(GLsizei, GLuint*);
	using Delete = void (*)(GLsizei, const GLuint*);
	const std::pair<Generate, Delete> kinds[] = { { glGenBuffers, glDeleteBuffers },
		{ glGenTextures, glDeleteTextures }, { glGenVertexArrays, glDeleteVertexArrays },
		{ glGenFramebuffers, glDeleteFramebuffers }, { glGenRenderbuffers, glDeleteRenderbuffers } };
	for (const auto& [generate, remove] : kinds)
	{
		generate(1, &name);
		highest = std::max(highest, name);
		remove(1, &name);
	}

	using Is = GLboolean (*)(GLuint);
	const Is probes[kKinds] = { glIsShader, glIsProgram, glIsBuffer, glIsTexture, glIsVertexArray, glIsFramebuffer,
		glIsRenderbuffer };
	GLObjectCounts result;
	for (GLuint n = 1; n <= highest + 256; ++n)
		for (int kind = 0; kind < kKinds; ++kind)
			result.counts[kind] += probes[kind](n) ? 1 : 0;
	return result;
}

std::string GLObjectCounts::GrowthSince(const GLObjectCounts& before) const
{
	static const char* const kNames[kKinds] = { "shader", "program", "buffer", "texture", "vertex array", "framebuffer",
		"renderbuffer" };
	std::string text;
	for (int kind = 0; kind < kKinds; ++kind)
	{
		const int grown = counts[kind] - before.counts[kind];
		if (grown > 0)
			text += (text.empty() ? "" : ", ") + std::to_string(grown) + " " + kNames[kind] + (grown == 1 ? "" : "s");
	}
	return text;
}

int OpenFileDescriptors()
{
	DIR* directory = opendir("/proc/self/fd");
	if (directory == nullptr)
		return -1;
	int count = 0;
	while (const dirent* entry = readdir(directory))
		if (entry->d_name[0] != '.')
			++count;
	closedir(directory);
	return count - 1; // the descriptor of the listing itself
}

} // namespace ffgltool
