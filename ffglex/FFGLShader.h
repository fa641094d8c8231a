// FFGLShader: one GL program and the shader objects it is built from (vertex,
// optional geometry, optional fragment), with optional transform-feedback
// varyings.
//
// Compile and link errors are written as one line each to standard output
// through ffglex::Log, a fixed prefix followed by the driver's info log, and
// everything created so far is deleted. The destructor issues no GL call: the
// owner calls FreeGLResources while its context is current (in DeInitGL).
#pragma once

#include "ffglex/FFGLGL.h"

#include <string>
#include <vector>

namespace ffglex
{
class FFGLShader
{
public:
	FFGLShader();
	~FFGLShader();
	FFGLShader(const FFGLShader&) = delete;
	FFGLShader& operator=(const FFGLShader&) = delete;

	// Builds the program from NUL-terminated sources; true when it linked.
	// A null or empty vertex source, or a null or empty fragment source while
	// no transform-feedback varying has been added, is refused at once: false,
	// with nothing created and nothing logged. With varyings added the fragment
	// source may be empty: a vertex-only program is built. Meant for an object
	// without GL objects (new, or after FreeGLResources); on any failure the
	// object ends empty.
	bool Compile(const char* vertexSource, const char* fragmentSource);
	bool Compile(const std::string& vertexSource, const std::string& fragmentSource);
	// As above; the geometry stage is compiled only when its source is neither
	// null nor empty.
	bool Compile(const char* vertexSource, const char* geometrySource, const char* fragmentSource);

	// One stage each, used by Compile. On a compile error the log line is
	// written, false is returned and the failed object's name stays in its
	// member for FreeGLResources to delete. A null source is refused without a
	// GL call.
	bool CompileVertexShader(const char* source);
	bool CompileGeometryShader(const char* source);
	bool CompileFragmentShader(const char* source);
	// Creates the program, attaches the compiled stages, declares the varyings
	// (interleaved) and links. On failure the link log, cut to 1023 characters,
	// is written with the prefix "Fragment Shader error: " and the program stays
	// in programID until FreeGLResources.
	bool LinkProgram();

	// Takes effect at the next link. FreeGLResources keeps the list.
	void AddTransformFeedbackVarying(const std::string& name);

	// Deletes the vertex, fragment and geometry shaders and the program, each
	// only when its name is not 0, and sets the names to 0. On an empty object
	// it issues no GL call, so calling it twice is harmless.
	void FreeGLResources();

	// Uniform setters. The location is looked up on every call and the value
	// goes to the program currently in use: bind this one first
	// (ScopedShaderBinding). An unknown name has no effect.
	void Set(const char* name, float value);
	void Set(const char* name, float value0, float value1);
	void Set(const char* name, float value0, float value1, float value2);
	void Set(const char* name, float value0, float value1, float value2, float value3);
	void Set(const char* name, int value);

	// The uniform's location, -1 when the program has no such active uniform.
	GLint FindUniform(const char* name) const;

	bool IsReady() const;
	GLuint GetGLID() const;

private:
	bool CompileStage(GLenum type, GLuint& shaderID, const char* source, const char* errorPrefix);

	GLuint vertexShaderID;
	GLuint geometryShaderID;
	GLuint fragmentShaderID;
	GLuint programID;
	std::vector<std::string> transformFeedbackVaryings;
};

} // namespace ffglex
