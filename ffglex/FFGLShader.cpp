#include "ffglex/FFGLShader.h"

#include "ffglex/Log.h"

#include <vector>

namespace ffglex
{
namespace
{
bool IsEmpty(const char* source)
{
	return source == nullptr || source[0] == '\0';
}
} // namespace

FFGLShader::FFGLShader() : vertexShaderID(0), geometryShaderID(0), fragmentShaderID(0), programID(0)
{
}

FFGLShader::~FFGLShader() = default;

bool FFGLShader::Compile(const char* vertexSource, const char* fragmentSource)
{
	return Compile(vertexSource, nullptr, fragmentSource);
}

bool FFGLShader::Compile(const std::string& vertexSource, const std::string& fragmentSource)
{
	return Compile(vertexSource.c_str(), nullptr, fragmentSource.c_str());
}

bool FFGLShader::Compile(const char* vertexSource, const char* geometrySource, const char* fragmentSource)
{
	if (IsEmpty(vertexSource))
		return false;
	// Without a fragment stage a program is only useful for transform feedback.
	if (IsEmpty(fragmentSource) && transformFeedbackVaryings.empty())
		return false;

	if (!CompileVertexShader(vertexSource))
	{
		FreeGLResources();
		return false;
	}
	if (!IsEmpty(geometrySource) && !CompileGeometryShader(geometrySource))
	{
		FreeGLResources();
		return false;
	}
	if (!IsEmpty(fragmentSource) && !CompileFragmentShader(fragmentSource))
	{
		FreeGLResources();
		return false;
	}
	if (!LinkProgram())
	{
		FreeGLResources();
		return false;
	}
	return true;
}

bool FFGLShader::CompileVertexShader(const char* source)
{
	return CompileStage(GL_VERTEX_SHADER, vertexShaderID, source, "Vertex Shader error: ");
}

bool FFGLShader::CompileGeometryShader(const char* source)
{
	return CompileStage(GL_GEOMETRY_SHADER, geometryShaderID, source, "Geometry Shader error: ");
}

bool FFGLShader::CompileFragmentShader(const char* source)
{
	return CompileStage(GL_FRAGMENT_SHADER, fragmentShaderID, source, "Fragment Shader error: ");
}

bool FFGLShader::CompileStage(GLenum type, GLuint& shaderID, const char* source, const char* errorPrefix)
{
	// glShaderSource reads the string without checking it.
	if (source == nullptr)
		return false;

	shaderID = glCreateShader(type);
	glShaderSource(shaderID, 1, &source, nullptr);
	glCompileShader(shaderID);

	GLint status = 0;
	glGetShaderiv(shaderID, GL_COMPILE_STATUS, &status);
	if (status == GL_TRUE)
		return true;

	GLint logLength = 0;
	glGetShaderiv(shaderID, GL_INFO_LOG_LENGTH, &logLength);
	if (logLength < 0)
		logLength = 0;
	// One byte more than GL asks for keeps the text terminated whatever the
	// driver writes.
	std::vector<char> infoLog(static_cast<size_t>(logLength) + 1, '\0');
	glGetShaderInfoLog(shaderID, logLength, nullptr, infoLog.data());
	Log(errorPrefix, infoLog.data());
	return false;
}

bool FFGLShader::LinkProgram()
{
	programID = glCreateProgram();
	glAttachShader(programID, vertexShaderID);
	if (geometryShaderID != 0)
		glAttachShader(programID, geometryShaderID);
	if (fragmentShaderID != 0)
		glAttachShader(programID, fragmentShaderID);

	if (!transformFeedbackVaryings.empty())
	{
		std::vector<const GLchar*> names;
		names.reserve(transformFeedbackVaryings.size());
		for (const std::string& varying : transformFeedbackVaryings)
			names.push_back(varying.c_str());
		glTransformFeedbackVaryings(
			programID, static_cast<GLsizei>(names.size()), names.data(), GL_INTERLEAVED_ATTRIBS);
	}

	glLinkProgram(programID);
	GLint status = 0;
	glGetProgramiv(programID, GL_LINK_STATUS, &status);
	if (status == GL_TRUE)
		return true;

	char infoLog[1024] = {};
	GLsizei length = 0;
	glGetProgramInfoLog(programID, sizeof(infoLog), &length, infoLog);
	if (length < 0 || length >= static_cast<GLsizei>(sizeof(infoLog)))
		length = sizeof(infoLog) - 1;
	infoLog[length] = '\0';
	Log("Fragment Shader error: ", infoLog);
	return false;
}

void FFGLShader::AddTransformFeedbackVarying(const std::string& name)
{
	transformFeedbackVaryings.push_back(name);
}

void FFGLShader::FreeGLResources()
{
	if (vertexShaderID != 0)
	{
		glDeleteShader(vertexShaderID);
		vertexShaderID = 0;
	}
	if (fragmentShaderID != 0)
	{
		glDeleteShader(fragmentShaderID);
		fragmentShaderID = 0;
	}
	if (geometryShaderID != 0)
	{
		glDeleteShader(geometryShaderID);
		geometryShaderID = 0;
	}
	if (programID != 0)
	{
		glDeleteProgram(programID);
		programID = 0;
	}
}

void FFGLShader::Set(const char* name, float value)
{
	glUniform1f(FindUniform(name), value);
}

void FFGLShader::Set(const char* name, float value0, float value1)
{
	glUniform2f(FindUniform(name), value0, value1);
}

void FFGLShader::Set(const char* name, float value0, float value1, float value2)
{
	glUniform3f(FindUniform(name), value0, value1, value2);
}

void FFGLShader::Set(const char* name, float value0, float value1, float value2, float value3)
{
	glUniform4f(FindUniform(name), value0, value1, value2, value3);
}

void FFGLShader::Set(const char* name, int value)
{
	glUniform1i(FindUniform(name), value);
}

GLint FFGLShader::FindUniform(const char* name) const
{
	// Program 0 would only raise a GL error in the host's context.
	if (programID == 0 || name == nullptr)
		return -1;
	return glGetUniformLocation(programID, name);
}

bool FFGLShader::IsReady() const
{
	return programID != 0;
}

GLuint FFGLShader::GetGLID() const
{
	return programID;
}

} // namespace ffglex
