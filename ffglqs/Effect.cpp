#include "ffglqs/Effect.h"

#include "ffglex/FFGLScopedBindings.h"
#include "ffglqs/VertexShaderText.h"
#include "host/FFGLRecords.h"

namespace ffglqs
{
namespace
{
const char* const kHeaderAddition =
	"\n"
	"\t\tin vec2 i_uv;\n"
	"\t\tuniform sampler2D inputTexture;\n"
	"\t";

const char* const kVertexShader =
	"\n"
	"\t\t#version 410 core\n"
	"\t\tuniform vec2 maxUV;\n"
	"\n" FFGLQS_VERTEX_ATTRIBUTES
	"\n"
	"\t\tout vec2 i_uv;\n"
	"\n" FFGLQS_VERTEX_MAIN_BEGIN
	"\t\t\ti_uv = vUV * maxUV;\n"
	"\t\t}\n"
	"\t";
} // namespace

Effect::Effect(bool supportTopLeftTextureOrientation) : Plugin(supportTopLeftTextureOrientation)
{
	SetKind(1, kHeaderAddition, kVertexShader);
}

Effect::~Effect() = default;

unsigned int Effect::Render(ProcessOpenGLStructTag* process)
{
	if (process == nullptr || process->numInputTextures == 0 || process->inputTextures == nullptr ||
		process->inputTextures[0] == nullptr)
		return FF_FAIL;
	const FFGLTextureStructTag& input = *process->inputTextures[0];

	ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
	ffglex::ScopedSamplerActivation samplerActivation(0);
	ffglex::Scoped2DTextureBinding textureBinding(input.Handle);

	float u = 0.0f;
	float v = 0.0f;
	MaxUV(input, u, v);
	shader.Set("inputTexture", 0);
	shader.Set("maxUV", u, v);
	quad.Draw();
	return FF_SUCCESS;
}

} // namespace ffglqs
