#include "ffglqs/Mixer.h"

#include "ffglex/FFGLScopedBindings.h"
#include "ffglqs/VertexShaderText.h"
#include "host/FFGLRecords.h"

namespace ffglqs
{
namespace
{
const char* const kHeaderAddition =
	"\n"
	"\t\tuniform sampler2D textureDest;\n"
	"\t\tuniform sampler2D textureSrc;\n"
	"\n"
	"\t\tin vec2 i_uv_dest;\n"
	"\t\tin vec2 i_uv_src;\n"
	"\t";

const char* const kVertexShader =
	"#version 410 core\n"
	"\t\tuniform vec2 maxUVDest;\n"
	"\t\tuniform vec2 maxUVSrc;\n"
	"\n" FFGLQS_VERTEX_ATTRIBUTES
	"\n"
	"\t\tout vec2 i_uv_dest;\n"
	"\t\tout vec2 i_uv_src;\n"
	"\n" FFGLQS_VERTEX_MAIN_BEGIN
	"\t\t\ti_uv_dest = vUV * maxUVDest;\n"
	"\t\t\ti_uv_src = vUV * maxUVSrc;\n"
	"\t\t}\n"
	"\t";
} // namespace

Mixer::Mixer(bool supportTopLeftTextureOrientation) : Plugin(supportTopLeftTextureOrientation)
{
	SetKind(2, kHeaderAddition, kVertexShader);
	AddParam(Param::Create("mixVal"));
}

Mixer::~Mixer() = default;

unsigned int Mixer::Render(ProcessOpenGLStructTag* process)
{
	if (process == nullptr || process->numInputTextures < 2 || process->inputTextures == nullptr ||
		process->inputTextures[0] == nullptr || process->inputTextures[1] == nullptr)
		return FF_FAIL;
	const FFGLTextureStructTag& destination = *process->inputTextures[0];
	const FFGLTextureStructTag& source = *process->inputTextures[1];

	// The scopes end in reverse order: the source texture is unbound while
	// unit 1 is still active, then unit 0 becomes active again and the
	// destination texture is unbound there.
	ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
	ffglex::ScopedSamplerActivation destinationUnit(0);
	ffglex::Scoped2DTextureBinding destinationBinding(destination.Handle);
	ffglex::ScopedSamplerActivation sourceUnit(1);
	ffglex::Scoped2DTextureBinding sourceBinding(source.Handle);

	float u = 0.0f;
	float v = 0.0f;
	shader.Set("textureDest", 0);
	MaxUV(destination, u, v);
	shader.Set("maxUVDest", u, v);
	shader.Set("textureSrc", 1);
	MaxUV(source, u, v);
	shader.Set("maxUVSrc", u, v);
	quad.Draw();
	return FF_SUCCESS;
}

} // namespace ffglqs
