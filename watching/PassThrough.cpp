#include "watching/PassThrough.h"

#include "ffglex/FFGLScopedBindings.h"

const char kPassThroughVertexShader[] =
	"#version 410 core\n"
	"uniform vec2 MaxUV; layout(location=0) in vec4 vPosition; layout(location=1) in vec2 vUV; out vec2 uv;\n"
	"void main(){ gl_Position=vPosition; uv=vUV*MaxUV; }";

const char kPassThroughFragmentShader[] =
	"#version 410 core\n"
	"uniform sampler2D InputTexture; in vec2 uv; out vec4 fragColor;\n"
	"void main(){ fragColor=texture(InputTexture,uv); }";

namespace
{
// The part of a texture axis that holds picture. A texture size of 0 is a
// malformed record: the whole texture is taken, rather than handing the shader
// an infinite or NaN coordinate.
float PictureFraction(std::uint32_t picture, std::uint32_t texture)
{
	return texture != 0 ? static_cast<float>(picture) / static_cast<float>(texture) : 1.0f;
}
} // namespace

const FFGLTextureStructTag* FirstInput(const ProcessOpenGLStructTag* record)
{
	if (record == nullptr || record->numInputTextures == 0 || record->inputTextures == nullptr)
		return nullptr;
	return record->inputTextures[0];
}

bool PassThrough::Build(const char* vertexSource, const char* fragmentSource)
{
	Release();
	return shader.Compile(vertexSource, fragmentSource) && quad.Initialise(false);
}

void PassThrough::Release()
{
	shader.FreeGLResources();
	quad.Release();
}

void PassThrough::Draw(const FFGLTextureStructTag& input)
{
	ffglex::ScopedShaderBinding shaderBinding(shader.GetGLID());
	ffglex::ScopedSamplerActivation unit0(0);
	ffglex::Scoped2DTextureBinding textureBinding(input.Handle);
	shader.Set("InputTexture", 0);
	// Hosts may hand a texture larger than the picture (power-of-two sizes):
	// only the picture's part of it is sampled.
	shader.Set("MaxUV", PictureFraction(input.Width, input.HardwareWidth),
		PictureFraction(input.Height, input.HardwareHeight));
	quad.Draw();
}
